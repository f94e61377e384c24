#include "app/commands/SnapshotCommand.h"
#include "PlaybackHarness.h"
#include "app/window/ControlIds.h"
#include "platform/WindowMessages.h"
#include "platform/widgets/MessageBox.h"
#include "strings/UiStringIds.h"
#include "strings/UiStrings.h"
#include "tests/support/core/TinyDisk.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

TEST(SnapshotNames, TagGoesBeforeTheExtensionOfTheFileName) {
    const struct {
        const char* chosen;
        const char* front;
    } cases[] = {
        {"/pics/drive.jpg", "/pics/drive_F.jpg"}, {"/pics/snap.png", "/pics/snap_F.png"},
        {"/pics/a.b.jpg", "/pics/a.b_F.jpg"},     {"/my.pics/snap", "/my.pics/snap_F"},
        {"/pics/.jpg", "/pics/.jpg_F"},           {"snap.jpg", "snap_F.jpg"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SnapshotCommand::TaggedPath(c.chosen, "_F"), c.front) << c.chosen;
}

class SnapshotCommandTest : public RecordedPairTest {
  protected:
    // Starts a group and waits until its pictures are on screen.
    void Play(int group, bool withRear) {
        h_->Logic().starter.OnGroupActivate(group);
        ASSERT_TRUE(WaitUntil([&] { return h_->front.GetTime() > 300; }));
        if (withRear) {
            ASSERT_TRUE(WaitUntil([&] { return h_->rear.GetTime() > 300; }));
        }
    }
    // SNAP, answered with `name` in the pictures folder ("" cancels).
    void Snap(const QString& name) {
        h_->Logic().snapshot.chooseFile = [&](QString* path) {
            *path = pictures_.filePath(name);
            return !name.isEmpty();
        };
        h_->Logic().OnCommand(IDC_SNAP);
    }
    QString Picture(const QString& name) const { return pictures_.filePath(name); }
    static QByteArray Format(const QString& path) { return QImageReader(path).format(); }
    static QSize Size(const QString& path) { return QImageReader(path).size(); }

    QTemporaryDir pictures_;
    MessageBoxRecorder boxes_;
};

TEST_F(SnapshotCommandTest, BothCamerasArePicturedInTheChosenFormatAndPlayGoesOn) {
    Play(0, true);
    for (const char* name : {"drive.jpg", "snap.png"}) {
        Snap(name);
        const QString front = SnapshotCommand::TaggedPath(Picture(name), "_F");
        const QString rear = SnapshotCommand::TaggedPath(Picture(name), "_R");
        const QByteArray format = QString(name).endsWith("png") ? "png" : "jpeg";
        EXPECT_EQ(Format(front), format) << name;
        EXPECT_EQ(Format(rear), format) << name;
        EXPECT_EQ(Size(front), QSize(160, 90)) << name;
        EXPECT_TRUE(h_->front.IsPlaying());
        EXPECT_TRUE(h_->rear.IsPlaying());
        EXPECT_TRUE(WaitUntil([&] { return h_->front.State() == libvlc_Playing; }));
        EXPECT_TRUE(WaitUntil([&] { return h_->rear.State() == libvlc_Playing; }));
    }
    EXPECT_TRUE(boxes_.calls.empty());
}

TEST_F(SnapshotCommandTest, ARecordingWithoutPartnerGivesTheFrontPictureOnly) {
    Play(1, false);
    Snap("lone.jpg");
    EXPECT_EQ(Format(Picture("lone_F.jpg")), "jpeg");
    EXPECT_FALSE(QFile::exists(Picture("lone_R.jpg")));
}

TEST_F(SnapshotCommandTest, PausedPlayersStayPausedAndCancelWritesNothing) {
    Play(0, true);
    h_->Logic().OnCommand(IDC_PLAY); // pause both
    ASSERT_TRUE(WaitUntil([&] { return h_->rear.State() == libvlc_Paused; }));
    Snap("paused.jpg");
    EXPECT_EQ(Format(Picture("paused_F.jpg")), "jpeg");
    EXPECT_TRUE(h_->front.IsPaused());
    EXPECT_TRUE(h_->rear.IsPaused());
    Pump(300);
    EXPECT_EQ(h_->front.State(), libvlc_Paused);

    h_->Logic().OnCommand(IDC_PLAY); // play again, then cancel a snapshot
    Snap("");
    EXPECT_EQ(QDir(pictures_.path()).entryList(QDir::Files).size(), 2);
    EXPECT_TRUE(h_->front.IsPlaying());
    EXPECT_TRUE(WaitUntil([&] { return h_->front.State() == libvlc_Playing; }));
}

// A full card: no picture is left cut short or half tagged under the chosen
// names, and the user is told why, once, for both cameras.
TEST_F(SnapshotCommandTest, AFullDiskLeavesNoPictureAndSaysWhy) {
    TinyDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    Play(0, true);
    disk.Fill();
    h_->Logic().snapshot.chooseFile = [&](QString* path) {
        *path = disk.path() + "/full.jpg";
        return true;
    };
    h_->Logic().OnCommand(IDC_SNAP);
    EXPECT_EQ(disk.Names(), QStringList{"filler"});
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_TRUE(boxes_.calls[0].text.contains("full_F.jpg")) << boxes_.calls[0].text.toStdString();
    EXPECT_TRUE(boxes_.calls[0].text.contains("full_R.jpg")) << boxes_.calls[0].text.toStdString();
    EXPECT_TRUE(boxes_.calls[0].text.contains("No space left on device"))
        << boxes_.calls[0].text.toStdString();
    EXPECT_TRUE(h_->front.IsPlaying()) << "play goes on after the failure";
}

TEST_F(SnapshotCommandTest, NothingPlayingIsSaidAndNoNameIsAsked) {
    bool asked = false;
    h_->Logic().snapshot.chooseFile = [&](QString*) { return asked = true; };
    h_->Logic().OnCommand(IDC_SNAP);
    EXPECT_FALSE(asked);
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_EQ(boxes_.calls[0].text, LoadUiString(UiStringId::kNothingPlaying));
}

TEST_F(SnapshotCommandTest, TheSaveDialogGivesANameTypedWithoutExtensionTheChosenType) {
    Play(0, true);
    h_->Logic().snapshot.chooseFile = SnapshotCommand(h_->Logic().Context()).chooseFile;
    const QString typed = Picture("typed");
    QTimer::singleShot(300, [typed] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        if (auto* types = dialog->findChild<QComboBox*>("fileTypeCombo")) {
            types->setCurrentIndex(1); // "Png File(*.png)", as a user picks it
            emit types->activated(1);
        }
        if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"))
            edit->setText(typed);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    h_->Logic().OnCommand(IDC_SNAP);
    EXPECT_EQ(Format(Picture("typed_F.png")), "png");
    EXPECT_EQ(Format(Picture("typed_R.png")), "png");
}

TEST_F(SnapshotCommandTest, AnEmptyListIsReported) {
    h_->catalog.Reset();
    Snap("never.jpg");
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_EQ(boxes_.calls[0].text, LoadUiString(UiStringId::kNoFilesInList));
    EXPECT_EQ(boxes_.calls[0].caption, LoadUiString(UiStringId::kOkCaption));
    EXPECT_TRUE(QDir(pictures_.path()).isEmpty());
}

} // namespace
