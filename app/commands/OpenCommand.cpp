#include "app/commands/OpenCommand.h"

#include "app/playback/FileStarter.h"
#include "app/playback/PlaybackController.h"
#include "app/playback/PlaybackView.h"
#include "dialogs/CMediaOpenDialog.h"
#include "platform/widgets/MessageBox.h"
#include "presenter/CatalogPresenter.h"
#include "recordings/RecordingCatalog.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"

#include <QFileInfo>
#include <algorithm>

namespace {

// The row of `file` in the catalog, or 0 when it is not listed.
int RowOf(const RecordingCatalog& catalog, const QString& file) {
    return std::max(0, catalog.IndexOfPath(file));
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

void OpenCommand::StopAndReset() {
    controller_.StopPlayers();
    controller_.OnVolumeChanged();
    controller_.ResetRate();
}

void OpenCommand::Run() {
    QString folder;
    controller_.StartGuarded(
        [&] {
            StopAndReset();
            return chooseFolder && chooseFolder(&folder) && !folder.isEmpty();
        },
        [&] { return Scan(folder, QString()); });
}

void OpenCommand::OpenFolder(const QString& folder, const QString& startFile) {
    QString path;
    controller_.StartGuarded(
        [&] {
            StopAndReset();
            const QFileInfo info(folder);
            path = info.exists() ? info.absoluteFilePath() : folder;
            AppSettings::Instance().Write(SettingKeys::kLastFolder,
                                          info.exists() ? path : QString());
            return !path.isEmpty();
        },
        [&] { return Scan(path, startFile); });
}

bool OpenCommand::Scan(const QString& folder, const QString& startFile) {
    // The count is painted on the front surface, which is hidden while
    // nothing plays; it shows for the scan and keeps its mark afterwards.
    const bool hidden = ctx_.view->SurfaceHidden(Camera::Front);
    if (hidden)
        ctx_.view->SetSurfaceHidden(Camera::Front, false);
    ctx_.view->SetScanCounterShown(true);
    ctx_.presenter->Open(folder);
    ctx_.view->SetScanCounterShown(false);
    if (hidden)
        ctx_.view->SetSurfaceHidden(Camera::Front, true);
    ReportUnreadableNames();
    if (ctx_.catalog->Files().empty())
        return false;
    starter_.DeferStart(startFile.isEmpty() ? 0 : RowOf(*ctx_.catalog, startFile), 5);
    return true;
}

QString OpenCommand::FolderAtStart(const QString& commandLineFolder) {
    return commandLineFolder.isEmpty() ? AppSettings::Instance().GetLastFolder()
                                       : commandLineFolder;
}

// Files that cannot be listed are named, so that none goes missing unseen.
void OpenCommand::ReportUnreadableNames() const {
    ReportUnlisted(ctx_.catalog->unreadableNames, UiStringId::kNamesNotText);
    ReportUnlisted(ctx_.catalog->skippedNames, UiStringId::kFilesTooDeep);
}

void OpenCommand::ReportUnlisted(const QStringList& names, unsigned stringId) const {
    if (names.isEmpty())
        return;
    constexpr int kListedMax = 15; // more would push the box off the screen
    QStringList listed = names.mid(0, kListedMax);
    if (names.size() > kListedMax)
        listed << QStringLiteral("… (%1)").arg(names.size());
    ShowMessageBox(ctx_.window,
                   LoadUiString(stringId).replace(QLatin1String("%s"), listed.join('\n')),
                   LoadUiString(UiStringId::kWarningCaption), MbButtons::Ok, MbIcon::Warning);
}
