#include "PlaybackHarness.h"
#include "app/window/ControlIds.h"
#include "platform/widgets/MessageBox.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

// Settings go to a scratch working directory.
class OpenCommandTest : public HarnessTest {
  protected:
    // Answers the next folder browser: a folder to choose, or "" to cancel.
    void AnswerBrowser(const QString& folder) { AnswerFolderBrowser(folder, &seenDirectory_); }

    QString seenDirectory_;
};

TEST_F(OpenCommandTest, CancelStopsPlayersResetsRateAndKeepsTheCatalog) {
    h_->AddGroup({"/nowhere/0001F.MOV"});
    h_->Logic().OnCommand(IDC_FAST);
    AnswerBrowser("");
    h_->Logic().OnCommand(IDC_OPEN);
    EXPECT_EQ(h_->catalog.Files().size(), 1u);
    EXPECT_EQ(h_->Logic().controller.m_nSpeedIndex, 7);
    EXPECT_FLOAT_EQ(h_->front.Rate(), 1.0f);
    EXPECT_EQ(h_->front.m_nVolume, 100);
    EXPECT_EQ(StartGuardProbe::Busy(h_->Logic().controller), 0);
}

TEST_F(OpenCommandTest, ChosenFolderIsRememberedAndPreselectedNextTime) {
    QTemporaryDir card;
    QDir(card.path()).mkdir("DCIM");
    const QString folder = card.filePath("DCIM");
    AnswerBrowser(folder);
    h_->Logic().OnCommand(IDC_OPEN);
    EXPECT_EQ(AppSettings::Instance().ReadString("UI", "Folder", ""), folder);
    // No recordings: the guard is cleared at once and the counter was shown.
    EXPECT_EQ(StartGuardProbe::Busy(h_->Logic().controller), 0);
    EXPECT_EQ(h_->view.scanShown, (std::vector<bool>{true, false}));
    EXPECT_EQ(h_->Logic().starter.m_nDeferredTicks, 0);
    AnswerBrowser("");
    h_->Logic().OnCommand(IDC_OPEN);
    EXPECT_EQ(seenDirectory_, card.path()); // opened on the parent, the folder selected
}

TEST_F(OpenCommandTest, OpenIsIgnoredWhileAStartIsInProgress) {
    h_->AddGroup({"/nowhere/0001F.MOV"});
    StartGuardProbe::Set(h_->Logic().controller, 1);
    h_->Logic().OnCommand(IDC_FAST);
    h_->Logic().OnCommand(IDC_OPEN); // no browser appears; nothing changes
    EXPECT_EQ(h_->Logic().controller.m_nSpeedIndex, 8);
}

TEST_F(OpenCommandTest, CommandLineFolderIsOpenedAndRemembered) {
    QTemporaryDir card;
    QDir::setCurrent(card.path());
    QDir().mkdir("DCIM");
    h_->Logic().open.OpenFolder("DCIM");
    EXPECT_EQ(AppSettings::Instance().ReadString("UI", "Folder", ""), card.filePath("DCIM"));
    EXPECT_EQ(StartGuardProbe::Busy(h_->Logic().controller), 0);
    h_->Logic().open.OpenFolder(card.filePath("missing"));
    EXPECT_EQ(AppSettings::Instance().ReadString("UI", "Folder", "x"), "");
}

TEST_F(OpenCommandTest, TheLastFolderOpensAtStartUnlessOneIsGivenOrItIsGone) {
    QTemporaryDir card;
    AppSettings::Instance().WriteString("UI", "Folder", card.path());
    EXPECT_EQ(OpenCommand::FolderAtStart(""), card.path());
    EXPECT_EQ(OpenCommand::FolderAtStart("/media/card"), "/media/card");
    AppSettings::Instance().WriteString("UI", "Folder", card.filePath("gone"));
    EXPECT_EQ(OpenCommand::FolderAtStart(""), "");
}

TEST_F(OpenCommandTest, FilesWhoseNamesAreNotUtf8AreNamedAfterTheScan) {
    QTemporaryDir card;
    const QByteArray raw = QFile::encodeName(card.path()) + "/FILE0001\xfe.MOV";
    FILE* f = std::fopen(raw.constData(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    MessageBoxRecorder boxes;
    AnswerBrowser(card.path());
    h_->Logic().OnCommand(IDC_OPEN);
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].text,
              LoadUiString(UiStringId::kNamesNotText).replace("%s", "FILE0001\\xfe.MOV"));
    EXPECT_EQ(boxes.calls[0].caption, LoadUiString(UiStringId::kWarningCaption));
    EXPECT_EQ(h_->catalog.scanCount, 1);
}

} // namespace
