#include "PlaybackHarness.h"
#include "app/window/ControlIds.h"
#include "platform/FileAttributes.h"
#include "platform/widgets/MessageBox.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"
#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/SmallCard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Filled(unsigned id, const QString& value) {
    return LoadUiString(id).replace("%s", value);
}

// A message box as text and caption.
using Box = std::pair<std::string, std::string>;
Box B(const QString& text, const QString& caption) {
    return {text.toStdString(), caption.toStdString()};
}

// A card of small files in DCIM/MOVIE/, grouped as asked, behind the real
// playback logic; message boxes are recorded and answered with OK.
class FileCommandsTest : public HarnessTest {
  protected:
    void Build(const std::vector<int>& filesPerGroup) {
        card_.Build(h_->catalog, filesPerGroup, &h_->presenter);
        CatalogStaging::SetCurrentFile(h_->catalog, 0);
    }
    static QString Name(int serial) { return SmallCard::Name(serial); }
    QString PathOf(int serial) const { return card_.PathOf(serial); }
    QStringList Listed() const { return SmallCard::ListedNames(h_->catalog); }
    void Command(int id) { h_->Logic().OnCommand(id); }
    // The boxes shown since the last call, as text and caption.
    std::vector<Box> Boxes() {
        std::vector<Box> seen;
        for (const MessageBoxCall& c : boxes_.calls)
            seen.emplace_back(c.text.toStdString(), c.caption.toStdString());
        boxes_.calls.clear();
        return seen;
    }
    bool VideosHidden() const { return h_->view.hidden[0] && h_->view.hidden[1]; }

    MessageBoxRecorder boxes_;
    SmallCard card_;
    FakeGroupList& groups_ = card_.groups;
    FakeFileList& fileRows_ = card_.fileRows;
};

TEST_F(FileCommandsTest, EveryCommandOnAnEmptyListSaysSoAndDoesNothingElse) {
    for (int id : {IDC_DEL, IDC_LOCK, IDC_SAVE, IDC_KML}) {
        Command(id); // no browser may open: it would never be answered
        EXPECT_EQ(Boxes(), (std::vector<Box>{B(LoadUiString(UiStringId::kNoFilesInList),
                                               LoadUiString(UiStringId::kOkCaption))}))
            << id;
        EXPECT_FALSE(VideosHidden()) << id;
    }
}

TEST_F(FileCommandsTest, NothingChosenIsReportedByDeleteLockAndSave) {
    Build({2, 1});
    const Box nothing = B(LoadUiString(UiStringId::kNoFilesChecked),
                          LoadUiString(UiStringId::kFileSelectionCaption));
    Command(IDC_DEL);
    EXPECT_EQ(Boxes(), (std::vector<Box>{B(LoadUiString(UiStringId::kDeleteCheckedQuestion),
                                           LoadUiString(UiStringId::kDeleteFilesCaption)),
                                         nothing}));
    Command(IDC_LOCK);
    EXPECT_EQ(Boxes(), (std::vector<Box>{nothing}));
    QTemporaryDir backup;
    AnswerFolderBrowser(backup.path());
    Command(IDC_SAVE);
    EXPECT_EQ(Boxes(), (std::vector<Box>{nothing}));
    EXPECT_EQ(Listed().size(), 3);
    EXPECT_TRUE(QDir(backup.path()).isEmpty());
}

TEST_F(FileCommandsTest, DeleteStopsAsksAndDeletesTheChosenGroupsButNotLockedFiles) {
    struct Case {
        int answer;
        QStringList left;
    } cases[] = {
        {IDCANCEL, {Name(1), Name(2), Name(3), Name(4)}},
        {IDOK, {Name(2), Name(4)}},
    };
    for (const Case& c : cases) {
        h_->catalog.Reset();
        Build({3, 1});
        ASSERT_TRUE(FileAttributes::Set(PathOf(2), FileAttributes::ReadOnly));
        groups_.chosen = {0};
        h_->view.hidden[0] = h_->view.hidden[1] = false;
        boxes_.answer = c.answer;
        h_->view.playButton = 1;
        Command(IDC_DEL);
        EXPECT_TRUE(VideosHidden());
        EXPECT_EQ(h_->view.playButton, 0);
        std::vector<Box> expected{B(LoadUiString(UiStringId::kDeleteCheckedQuestion),
                                    LoadUiString(UiStringId::kDeleteFilesCaption))};
        if (c.answer == IDOK) // the locked file is named, not skipped without a word
            expected.push_back(B(Filled(UiStringId::kFilesLeftAsTheyWere, PathOf(2)),
                                 LoadUiString(UiStringId::kWarningCaption)));
        EXPECT_EQ(Boxes(), expected);
        EXPECT_EQ(Listed(), c.left) << c.answer;
        for (int serial = 1; serial <= 4; ++serial)
            EXPECT_EQ(QFile::exists(PathOf(serial)), c.left.contains(Name(serial))) << serial;
        ASSERT_TRUE(FileAttributes::Set(PathOf(2), 0));
        for (int serial = 1; serial <= 4; ++serial)
            QFile::remove(PathOf(serial));
    }
}

TEST_F(FileCommandsTest, LockLocksTheChosenGroupAndAgainUnlocksIt) {
    Build({2, 1});
    groups_.chosen = {0};
    Command(IDC_LOCK);
    EXPECT_TRUE(Boxes().empty());
    for (int serial : {1, 2})
        EXPECT_TRUE(*FileAttributes::Get(PathOf(serial)) & FileAttributes::ReadOnly) << serial;
    EXPECT_FALSE(*FileAttributes::Get(PathOf(3)) & FileAttributes::ReadOnly);
    EXPECT_EQ(h_->view.lockButton, 0); // the current group now holds a locked file
    EXPECT_EQ(groups_.highlighted, (std::set<int>{0})) << "the current group stays marked";
    EXPECT_EQ(fileRows_.highlighted, (std::set<int>{0}));

    // With the current group locked, LOCK unlocks whatever is chosen.
    groups_.chosen = {0};
    Command(IDC_LOCK);
    for (int serial : {1, 2})
        EXPECT_FALSE(*FileAttributes::Get(PathOf(serial)) & FileAttributes::ReadOnly) << serial;
    EXPECT_EQ(h_->view.lockButton, 1);
}

TEST_F(FileCommandsTest, SaveCopiesThroughTheBrowserKeepingSubFolders) {
    Build({2, 1});
    QTemporaryDir backup;
    groups_.chosen = {0};
    AnswerFolderBrowser(backup.path());
    Command(IDC_SAVE);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(VideosHidden());
    const QString copied = backup.path() + "/DCIM/MOVIE/";
    EXPECT_TRUE(QFile::exists(copied + Name(1)));
    EXPECT_TRUE(QFile::exists(copied + Name(2)));
    EXPECT_FALSE(QFile::exists(copied + Name(3)));

    // Again: each existing copy is asked about; Cancel keeps it.
    boxes_.answers = {IDOK, IDCANCEL};
    groups_.chosen = {0};
    AnswerFolderBrowser(backup.path());
    Command(IDC_SAVE);
    EXPECT_EQ(Boxes(), (std::vector<Box>{B(Filled(UiStringId::kOverwriteQuestion, copied + Name(1)),
                                           LoadUiString(UiStringId::kOverwriteCaption)),
                                         B(Filled(UiStringId::kOverwriteQuestion, copied + Name(2)),
                                           LoadUiString(UiStringId::kOverwriteCaption))}));
}

TEST_F(FileCommandsTest, SaveWarnsOfAMissingFolderAndCancelOnlyHidesTheVideos) {
    Build({1});
    groups_.chosen = {0};
    // A folder gone between the choice and the copy (a card pulled out).
    const QString missing = card_.dir.path() + "/missing";
    FileCommands::FolderChooser browser = h_->Logic().files.chooseSaveFolder;
    h_->Logic().files.chooseSaveFolder = [missing](QString* folder) {
        *folder = missing;
        return true;
    };
    Command(IDC_SAVE);
    h_->Logic().files.chooseSaveFolder = browser;
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_EQ(boxes_.calls[0].icon, MbIcon::Warning);
    EXPECT_EQ(Boxes(), (std::vector<Box>{B(LoadUiString(UiStringId::kFolderMissing),
                                           LoadUiString(UiStringId::kWarningCaption))}));
    EXPECT_FALSE(QFileInfo::exists(card_.dir.path() + "/missing"));

    h_->view.hidden[0] = h_->view.hidden[1] = false;
    AnswerFolderBrowser("");
    Command(IDC_SAVE);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(VideosHidden());
}

TEST_F(FileCommandsTest, SaveReportsTheFilesItCouldNotCopy) {
    Build({3});
    QTemporaryDir backup;
    // A folder where the second copy should go makes that copy fail.
    const QString copied = backup.path() + "/DCIM/MOVIE/";
    QDir().mkpath(copied + Name(2));
    groups_.chosen = {0};
    AnswerFolderBrowser(backup.path());
    Command(IDC_SAVE); // asked to replace the folder in the way: OK
    EXPECT_EQ(Boxes(), (std::vector<Box>{B(Filled(UiStringId::kOverwriteQuestion, copied + Name(2)),
                                           LoadUiString(UiStringId::kOverwriteCaption)),
                                         B(Filled(UiStringId::kFilesNotCopied, PathOf(2)),
                                           LoadUiString(UiStringId::kWarningCaption))}));
    EXPECT_TRUE(QFile::exists(copied + Name(1)));
    EXPECT_TRUE(QFile::exists(copied + Name(3)));
}

TEST_F(FileCommandsTest, KmlSavesTheCurrentRouteAndSaysWhere) {
    Build({2});
    CatalogStaging::SetCurrentFile(h_->catalog, 1);
    const QString folder = card_.dir.path() + "/docs/KML/";
    h_->Logic().files.kmlFolder = [folder] { return folder; };
    Command(IDC_KML);
    const QStringList written = QDir(folder).entryList({"*.KML"}, QDir::Files);
    ASSERT_EQ(written.size(), 1);
    EXPECT_TRUE(written[0].startsWith("FILE0002_"));
    EXPECT_EQ(Boxes(), (std::vector<Box>{B(Filled(UiStringId::kSaveKmlDone, folder + written[0]),
                                           LoadUiString(UiStringId::kSaveKmlCaption))}));

    // A folder that cannot be made: the failure names the file it tried.
    const QString blocked = card_.dir.Write("blocked") + "/KML/";
    h_->Logic().files.kmlFolder = [blocked] { return blocked; };
    Command(IDC_KML);
    const std::vector<Box> seen = Boxes();
    ASSERT_EQ(seen.size(), 1u);
    const QString failed = LoadUiString(UiStringId::kSaveKmlFailed);
    EXPECT_TRUE(QString::fromStdString(seen[0].first)
                    .startsWith(failed.left(failed.indexOf("%s")) + blocked + "FILE0002_"))
        << seen[0].first;
    EXPECT_EQ(seen[0].second, LoadUiString(UiStringId::kSaveKmlCaption).toStdString());
}

} // namespace
