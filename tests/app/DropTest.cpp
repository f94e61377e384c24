// Folders and recordings dropped on the real main window, as a file manager
// delivers them: a drag entering with file URLs, then the drop.
#if HALVEX_HAVE_SYNTH
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
#include "app/window/CVELDlg.h"
#include "app/window/ControlIds.h"
#include "app/window/PlaybackLogic.h"
#include "platform/widgets/MessageBox.h"
#include "strings/UiStrings.h"

#include <QDragEnterEvent>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

class DropTest : public ShownWindowTest {
  protected:
    static void SetUpTestSuite() {
        card_ = new QTemporaryDir;
        QString error;
        fronts_ = WriteCard(card_->path(), 2, 10000, &error);
        ASSERT_EQ(fronts_.size(), 2) << error.toStdString();
    }
    static void TearDownTestSuite() {
        delete card_;
        card_ = nullptr;
    }

    // Drags `urls` onto the window's front video and drops them there;
    // returns whether the window took the drag.
    bool Drop(const QList<QUrl>& urls, Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = dlg_->Control(IDC_FRONT_FRAME)->geometry().center();
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(dlg_.get(), &enter);
        if (!enter.isAccepted())
            return false;
        EXPECT_NE(enter.dropAction(), Qt::MoveAction) << "a move would lose the recordings";
        QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(dlg_.get(), &drop);
        EXPECT_TRUE(drop.isAccepted());
        return true;
    }
    CVlcPlayer* Front() const { return dlg_->Playback()->Players().Front(); }
    bool Plays(const QString& file) {
        return WaitUntil([&] {
            return QDir::cleanPath(QString::fromUtf8(Front()->MediaPath())) == file &&
                   Front()->State() == libvlc_Playing && Front()->GetTime() > 0;
        });
    }
    QLabel* Hint() const { return dlg_->Control(IDC_FRONT_FRAME)->findChild<QLabel*>(); }

    static QTemporaryDir* card_;
    static QStringList fronts_;
    MessageBoxRecorder boxes_;
};
QTemporaryDir* DropTest::card_ = nullptr;
QStringList DropTest::fronts_;

TEST_F(DropTest, AnythingButAFolderOrARecordingIsRefusedWithoutABox) {
    QTemporaryDir scratch;
    QFile text(scratch.filePath("notes.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.close();
    const struct {
        const char* what;
        QList<QUrl> urls;
        Qt::DropActions actions;
    } refused[] = {
        {"a text file", {QUrl::fromLocalFile(text.fileName())}, Qt::CopyAction},
        {"a web address", {QUrl("https://example.org/FILE0010.MOV")}, Qt::CopyAction},
        {"a file that is gone",
         {QUrl::fromLocalFile(scratch.filePath("FILE0099.MOV"))},
         Qt::CopyAction},
        {"no URL", {}, Qt::CopyAction},
        {"a folder that may only be moved", {QUrl::fromLocalFile(card_->path())}, Qt::MoveAction},
    };
    for (const auto& r : refused)
        EXPECT_FALSE(Drop(r.urls, r.actions)) << r.what;
    EXPECT_TRUE(boxes_.calls.empty());
    EXPECT_TRUE(dlg_->Catalog().Files().empty());
    ASSERT_NE(Hint(), nullptr);
    EXPECT_TRUE(Hint()->isVisible());
    EXPECT_EQ(Hint()->text(), LoadUiString(UiStringId::kOpenFolderHint));
}

TEST_F(DropTest, AFolderOpensAsOpenWouldAndARecordingStartsItself) {
    ASSERT_TRUE(Drop({QUrl::fromLocalFile(card_->path())}));
    EXPECT_EQ(dlg_->Catalog().Files().size(), 4u);
    EXPECT_EQ(AppSettings::Instance().ReadString("UI", "Folder", ""), card_->path());
    // While the first recording is still starting, another drop is ignored
    // as OPEN is.
    ASSERT_TRUE(Drop({QUrl::fromLocalFile(fronts_[1])}));
    EXPECT_EQ(dlg_->Catalog().Files().size(), 4u);
    EXPECT_TRUE(Plays(fronts_[0]));
    EXPECT_FALSE(Hint()->isVisible());

    // A recording opens its own folder and starts itself, not the first.
    ASSERT_TRUE(Drop({QUrl::fromLocalFile(fronts_[1])}));
    EXPECT_EQ(dlg_->Catalog().Files().size(), 2u) << "the front folder alone";
    EXPECT_TRUE(Plays(fronts_[1]));
    EXPECT_EQ(AppSettings::Instance().ReadString("UI", "Folder", ""),
              QFileInfo(fronts_[1]).absolutePath());
    EXPECT_TRUE(boxes_.calls.empty());
}

} // namespace
#endif
