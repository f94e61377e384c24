#include "app/commands/SnapshotCommand.h"

#include "app/commands/SnapshotTags.h"
#include "app/playback/PlaybackTick.h"
#include "app/playback/PlayerPair.h"
#include "dialogs/CSnapshotDialog.h"
#include "platform/CheckedFileWriter.h"
#include "platform/widgets/MessageBox.h"
#include "platform/widgets/PrivacyZonesBox.h"
#include "player/CVlcPlayer.h"
#include "recordings/RecordingCatalog.h"
#include "strings/UiStrings.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>

SnapshotCommand::SnapshotCommand(const PlaybackContext& context) : ctx_(context) {
    // Owned by the main window, so that nothing else is clicked while the
    // players wait paused.
    chooseFile = [this](QString* path) {
        CSnapshotDialog dialog(ctx_.window);
        if (dialog.DoModal() != 1)
            return false;
        *path = dialog.GetPathName();
        return true;
    };
}

QString SnapshotCommand::TaggedPath(const QString& path, const QString& tag) {
    const QString normal = QDir::fromNativeSeparators(path);
    const int nameStart = normal.lastIndexOf('/') + 1;
    const int dot = normal.lastIndexOf('.');
    // A dot in a folder's name or leading a hidden file's name is no extension.
    if (dot <= nameStart)
        return path + tag;
    return QString(path).insert(dot, tag);
}

FramePlace SnapshotCommand::CurrentFramePlace() const {
    if (!ctx_.players->FirstUsable([](const CVlcPlayer& player) { return player.HasMedia(); }))
        return FramePlace();
    // A stopped recording's picture is its first frame.
    const int64_t t = std::max<int64_t>(ctx_.players->TimeNow(), 0);
    const RecordingCatalog& catalog = *ctx_.catalog;
    return FramePlaceAt(catalog, catalog.CurrentTrack().IndexAt(t), t);
}

// libvlc writes its own format (PNG) whatever the name says; the picture is
// taken to a scratch file and written again in the format of the chosen
// name's extension, so that a ".jpg" holds a JPEG. Picture and tags are put
// together in memory and written once: a full disk then leaves no picture
// cut short under the chosen name.
bool SnapshotCommand::TakePicture(CVlcPlayer& player, const QString& path, const FramePlace& place,
                                  QString* error) {
    const QTemporaryDir scratch;
    const QString taken = scratch.filePath("snapshot.png");
    if (!scratch.isValid() || player.TakeSnapshot(taken, 0, 0) != 0 || !QFile::exists(taken)) {
        *error = QStringLiteral("the player gave no picture");
        return false;
    }
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool jpeg = suffix == "jpg" || suffix == "jpeg";
    QImage picture(taken);
    if (picture.isNull()) {
        *error = QStringLiteral("the player gave no picture");
        return false;
    }
    if (!jpeg)
        AddPngText(&picture, place);
    QByteArray encoded;
    QBuffer buffer(&encoded);
    if (!buffer.open(QIODevice::WriteOnly) ||
        !picture.save(&buffer, jpeg ? "JPEG" : "PNG", jpeg ? 95 : -1)) {
        *error = QStringLiteral("the picture could not be encoded");
        return false;
    }
    buffer.close();
    if (jpeg && !AddJpegExif(&encoded, place)) {
        *error = QStringLiteral("the picture's tags could not be added");
        return false;
    }
    return CheckedFileWriter::WriteFile(path, encoded, error);
}

void SnapshotCommand::Run() {
    if (ctx_.catalog->Files().empty()) {
        ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kNoFilesInList),
                       LoadUiString(UiStringId::kOkCaption));
        return;
    }
    if (!ctx_.players->FirstUsable([](const CVlcPlayer& player) { return player.HasMedia(); })) {
        ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kNothingPlaying),
                       LoadUiString(UiStringId::kOkCaption));
        return;
    }
    const PlayerPair::Hold hold(*ctx_.players);
    QString path;
    if (!chooseFile || !chooseFile(&path))
        return;
    std::vector<PrivacyZone> zones;
    if (!ReadZonesOrSay(ctx_.window, LoadUiString(UiStringId::kWarningCaption), &zones))
        return;
    FramePlace place = CurrentFramePlace();
    // Inside a zone the picture keeps its time, and no tag says where or
    // how fast.
    if (place.hasFix && InPrivacyZone(place.latitude, place.longitude, zones))
        place.hasFix = false;
    QStringList failed;
    ctx_.players->ForEachUsable([&](CVlcPlayer& player, Camera camera) {
        if (!player.HasMedia())
            return;
        const QString tag = camera == Camera::Front ? QStringLiteral("_F") : QStringLiteral("_R");
        const QString tagged = TaggedPath(path, tag);
        QString error;
        if (!TakePicture(player, tagged, place, &error))
            failed << QDir::toNativeSeparators(tagged) + ": " + error;
    });
    if (!failed.isEmpty())
        ShowMessageBox(ctx_.window,
                       LoadUiString(UiStringId::kSnapshotFailed).replace("%s", failed.join('\n')),
                       LoadUiString(UiStringId::kWarningCaption), MbButtons::Ok, MbIcon::Warning);
}
