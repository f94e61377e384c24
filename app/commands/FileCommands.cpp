#include "app/commands/FileCommands.h"

#include "app/playback/FileStarter.h"
#include "app/playback/PlaybackController.h"
#include "app/playback/PlaybackView.h"
#include "dialogs/CFolderDialog.h"
#include "platform/widgets/MessageBox.h"
#include "platform/widgets/PrivacyZonesBox.h"
#include "presenter/CatalogPresenter.h"
#include "recordings/KmlExport.h"
#include "recordings/RecordingCatalog.h"
#include "strings/UiStrings.h"

#include <QFileInfo>
#include <QProgressDialog>
#include <memory>

namespace {

// The progress bar counts bytes in steps; byte counts overflow an int.
constexpr int kProgressSteps = 1000;

std::unique_ptr<QProgressDialog> SaveProgressBox(QWidget* owner) {
    auto box = std::make_unique<QProgressDialog>(owner);
    box->setWindowModality(Qt::WindowModal);
    box->setMinimumDuration(500);
    box->setCancelButtonText(LoadUiString(UiStringId::kCancelButton));
    box->setAutoReset(false);
    box->setMaximum(kProgressSteps);
    return box;
}

// More lines than this would push the message box off the screen.
constexpr int kListedPathsMax = 15;

} // namespace

FileCommands::FileCommands(const PlaybackContext& context, PlaybackController& controller,
                           FileStarter& starter)
    : ctx_(context), controller_(controller), starter_(starter) {
    chooseSaveFolder = [this](QString* folder) {
        CFolderDialog browser(LoadUiString(UiStringId::kSelectFolder), QString(), ctx_.window);
        const int result = browser.DoModal();
        if (result == IDCANCEL)
            return false;
        *folder = result == IDOK ? browser.GetFolderPath() : QString();
        return true;
    };
    kmlFolder = [] { return KmlFolder(); };
}

bool FileCommands::ReportEmptyCatalog() const {
    if (!ctx_.catalog->Files().empty())
        return false;
    ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kNoFilesInList),
                   LoadUiString(UiStringId::kOkCaption));
    return true;
}

void FileCommands::ReportNothingChosen() const {
    ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kNoFilesChecked),
                   LoadUiString(UiStringId::kFileSelectionCaption));
}

void FileCommands::StopPlayers() {
    controller_.StopPlayers();
    ctx_.view->SetPlayButtonState(0);
}

// A refill of the lists loses the mark of the current recording.
void FileCommands::MarkCurrentAgain() {
    RecordingCatalog& catalog = *ctx_.catalog;
    if (catalog.CurrentRecording())
        ctx_.presenter->SelectFile(catalog.currentFile());
}

void FileCommands::OnDelete() {
    if (ReportEmptyCatalog())
        return;
    StopPlayers();
    controller_.HideVideos();
    const int answer =
        ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kDeleteCheckedQuestion),
                       LoadUiString(UiStringId::kDeleteFilesCaption), MbButtons::OkCancel);
    QStringList untouched;
    if (answer == IDOK && ctx_.presenter->DeleteChosen(&untouched) == 0) {
        ReportNothingChosen();
        return;
    }
    ReportPaths(UiStringId::kFilesLeftAsTheyWere, untouched);
    MarkCurrentAgain();
    controller_.OnPlay();
}

void FileCommands::OnLock() {
    if (ReportEmptyCatalog())
        return;
    RecordingCatalog& catalog = *ctx_.catalog;
    QStringList untouched;
    CatalogPresenter& presenter = *ctx_.presenter;
    const int done = catalog.CurrentGroupHasFlaggedFile() ? presenter.UnlockChosen(&untouched)
                                                          : presenter.LockChosen(&untouched);
    if (done == 0) {
        ReportNothingChosen();
    } else {
        ReportPaths(UiStringId::kFilesLeftAsTheyWere, untouched);
        MarkCurrentAgain();
    }
    starter_.RefreshLockButton();
}

void FileCommands::OnSave() {
    if (ReportEmptyCatalog())
        return;
    StopPlayers();
    // Stopped surfaces are no longer painted: hidden now, they cannot keep
    // the picture of the browser drawn over them.
    controller_.HideVideos();
    QString folder;
    if (!chooseSaveFolder || !chooseSaveFolder(&folder))
        return;
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) {
        ShowMessageBox(ctx_.window, LoadUiString(UiStringId::kFolderMissing),
                       LoadUiString(UiStringId::kWarningCaption), MbButtons::Ok, MbIcon::Warning);
    } else {
        // Recordings are large: show how far the copy has got once it takes
        // a moment, and let the user stop between two files. The progress
        // box is made only once the overwrite questions are answered: modal,
        // it would lie over a question and take its keys and clicks.
        std::unique_ptr<QProgressDialog> progress;
        QStringList notCopied;
        const bool chosen = ctx_.catalog->SaveChosen(
            info.absoluteFilePath(),
            [this](const QString& target) {
                return ShowMessageBox(ctx_.window,
                                      LoadUiStringFilled(UiStringId::kOverwriteQuestion, target),
                                      LoadUiString(UiStringId::kOverwriteCaption),
                                      MbButtons::OkCancel) == IDOK;
            },
            &notCopied,
            [this, &progress](qint64 done, qint64 total, const QString& source) {
                if (!progress)
                    progress = SaveProgressBox(ctx_.window);
                if (!source.isEmpty())
                    progress->setLabelText(QFileInfo(source).fileName());
                progress->setValue(total > 0 ? int(done * kProgressSteps / total) : kProgressSteps);
                return !progress->wasCanceled();
            });
        if (progress)
            progress->close();
        if (!chosen)
            ReportNothingChosen();
        else
            ReportPaths(UiStringId::kFilesNotCopied, notCopied);
    }
}

// A failed copy left unreported would let the user take a partial backup
// for a whole one; a file that DEL or LOCK silently left alone would be
// taken for deleted or protected.
void FileCommands::ReportPaths(unsigned stringId, const QStringList& paths) const {
    if (paths.isEmpty())
        return;
    QStringList listed = paths.mid(0, kListedPathsMax);
    if (paths.size() > kListedPathsMax)
        listed << QStringLiteral("…");
    ShowMessageBox(ctx_.window, LoadUiStringFilled(stringId, listed.join('\n')),
                   LoadUiString(UiStringId::kWarningCaption), MbButtons::Ok, MbIcon::Warning);
}

void FileCommands::OnKml() {
    if (ReportEmptyCatalog())
        return;
    const QString folder = kmlFolder ? kmlFolder() : QString();
    if (!folder.isEmpty() && !QFileInfo::exists(folder))
        CreateFolderPath(folder);
    std::vector<PrivacyZone> zones;
    if (!ReadZonesOrSay(ctx_.window, LoadUiString(UiStringId::kSaveKmlCaption), &zones))
        return;
    QString fileName;
    int leftOut = 0;
    const bool saved = ctx_.catalog->ExportKml(folder, &fileName, zones, &leftOut);
    QString text =
        LoadUiStringFilled(saved ? UiStringId::kSaveKmlDone : UiStringId::kSaveKmlFailed, fileName);
    if (saved && !zones.empty())
        text +=
            "\n" + LoadUiStringFilled(UiStringId::kClipPositionsLeftOut, QString::number(leftOut));
    ShowMessageBox(ctx_.window, text, LoadUiString(UiStringId::kSaveKmlCaption));
}
