#include "app/OpenCommand.h"

#include "app/FileStarter.h"
#include "app/PlaybackController.h"
#include "app/PlaybackView.h"
#include "app/SpeedTable.h"
#include "dialogs/CMediaOpenDialog.h"
#include "platform/WindowTimers.h"
#include "platform/widgets/MessageBox.h"
#include "player/CVlcPlayer.h"
#include "recordings/RecordingCatalog.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"

#include <QFileInfo>

namespace {

// The row of `file` in the catalog, or 0 when it is not listed.
int RowOf(const RecordingCatalog& catalog, const QString& file) {
    const QString wanted = QFileInfo(file).canonicalFilePath();
    if (wanted.isEmpty())
        return 0;
    for (size_t i = 0; i < catalog.files.size(); ++i)
        if (QFileInfo(catalog.GetFilePath(int(i))).canonicalFilePath() == wanted)
            return int(i);
    return 0;
}

} // namespace

OpenCommand::OpenCommand(const PlaybackContext& context, PlaybackController& controller,
                         FileStarter& starter)
    : ctx_(context), controller_(controller), starter_(starter) {
    chooseFolder = [this](QString* folder) {
        CMediaOpenDialog dialog(ctx_.window);
        if (dialog.DoModal() != IDOK)
            return false;
        *folder = dialog.m_strFolderPath;
        return true;
    };
}

bool OpenCommand::Blocked() const {
    return !ctx_.catalog->files.empty() && controller_.m_bPlayStartBusy;
}

void OpenCommand::StopAndReset() {
    controller_.StopPlayers();
    if (Usable(ctx_.front))
        ctx_.front->SetVolume(2 * ctx_.view->VolumeSliderPos());
    controller_.m_nSpeedIndex = kNormalSpeedIndex;
    for (CVlcPlayer* player : {ctx_.front, ctx_.rear})
        if (Usable(player))
            player->SetRate(1.0f);
}

void OpenCommand::Run() {
    if (Blocked())
        return;
    StopAndReset();
    QString folder;
    if (!chooseFolder || !chooseFolder(&folder))
        return;
    Scan(folder, QString());
}

void OpenCommand::OpenFolder(const QString& folder, const QString& startFile) {
    if (Blocked())
        return;
    StopAndReset();
    const QFileInfo info(folder);
    const QString path = info.exists() ? info.absoluteFilePath() : folder;
    AppSettings::Instance().WriteString("UI", "Folder", info.exists() ? path : QString());
    Scan(path, startFile);
}

void OpenCommand::Scan(const QString& folder, const QString& startFile) {
    controller_.m_bPlayStartBusy = 1;
    ctx_.timers->SetTimer(kStartGuardTimer, 100000);
    if (folder.isEmpty()) {
        controller_.m_bPlayStartBusy = 0;
        return;
    }
    // The count is painted on the front surface, which is hidden while
    // nothing plays; it shows for the scan and keeps its mark afterwards.
    const bool hidden = ctx_.view->SurfaceHidden(Camera::Front);
    if (hidden)
        ctx_.view->SetSurfaceHidden(Camera::Front, false);
    ctx_.view->SetScanCounterShown(true);
    ctx_.catalog->Open(folder);
    ctx_.view->SetScanCounterShown(false);
    if (hidden)
        ctx_.view->SetSurfaceHidden(Camera::Front, true);
    ReportUnreadableNames();
    if (ctx_.catalog->files.empty())
        controller_.m_bPlayStartBusy = 0;
    else
        starter_.DeferStart(startFile.isEmpty() ? 0 : RowOf(*ctx_.catalog, startFile), 5);
}

QString OpenCommand::FolderAtStart(const QString& commandLineFolder) {
    return commandLineFolder.isEmpty() ? AppSettings::Instance().GetLastFolder()
                                       : commandLineFolder;
}

// Files that cannot be listed are named, so that none goes missing unseen.
void OpenCommand::ReportUnreadableNames() const {
    const QStringList& names = ctx_.catalog->unreadableNames;
    if (names.isEmpty())
        return;
    constexpr int kListedMax = 15; // more would push the box off the screen
    QStringList listed = names.mid(0, kListedMax);
    if (names.size() > kListedMax)
        listed << QStringLiteral("… (%1)").arg(names.size());
    ShowMessageBox(
        ctx_.window,
        LoadUiString(UiStringId::kNamesNotText).replace(QLatin1String("%s"), listed.join('\n')),
        LoadUiString(UiStringId::kWarningCaption), MbButtons::Ok, MbIcon::Warning);
}
