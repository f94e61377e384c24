// Recordings that go away while the window plays them (a file renamed, the
// card taken out): the failed start must not hold the lists, and the window
// says what happened.
#if HALVEX_HAVE_SYNTH
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
#include "app/window/CVELDlg.h"
#include "app/window/ControlIds.h"
#include "app/window/PlaybackLogic.h"
#include "controls/CGdipButton.h"
#include "platform/widgets/MessageBox.h"
#include "player/CVlcPlayer.h"
#include "recordings/CameraPairing.h"
#include "recordings/RecordingCatalog.h"
#include "strings/UiStrings.h"

#include <QDir>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class VanishedRecordingsTest : public ShownWindowTest {
  public:
    CVlcPlayer* Front() const { return dlg_->Playback()->Players().Front(); }
    QString FrontMedia() const { return QDir::cleanPath(QString::fromUtf8(Front()->MediaPath())); }
    bool FrontPlays(const QString& path) const {
        return FrontMedia() == path && Front()->State() == libvlc_Playing && Front()->GetTime() > 0;
    }
    int Row(const QString& path) const {
        const RecordingCatalog& c = *dlg_->Playback()->Context().catalog;
        for (int i = 0; i < int(c.Files().size()); ++i)
            if (QDir::cleanPath(c.GetFilePath(i)) == path)
                return i;
        return -1;
    }
    // A double-click on the file list's row, at the window's coordinates.
    void DoubleClickRow(int row) {
        auto* list = static_cast<QTableWidget*>(dlg_->Control(IDC_FILE_LIST));
        list->scrollToItem(list->item(row, 0));
        const QRect cell = list->visualRect(list->model()->index(row, 0));
        const QPoint at = list->viewport()->mapTo(dlg_.get(), cell.center());
        QTest::mouseDClick(dlg_->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    }
    // File activations closer than two seconds are taken for one.
    static void WaitOutDoubleClickGuard() { Pump(2100); }
    int PlayButton() const {
        return static_cast<CGdipButton*>(dlg_->Control(IDC_PLAY))->ImageState();
    }
};

TEST_F(VanishedRecordingsTest, AFailedStartFreesTheListsAtOnceAndACardTakenOutIsNamed) {
    QTemporaryDir card;
    QString error;
    const QStringList fronts = WriteCard(card.path(), 3, 45000, &error);
    ASSERT_EQ(fronts.size(), 3) << error.toStdString();
    MessageBoxRecorder boxes;
    dlg_->OpenFolder(card.path());
    ASSERT_TRUE(WaitUntil([&] { return FrontPlays(fronts[0]); }));

    // One file renamed away: the usual error, and the next start is taken.
    const QString moved = fronts[1] + ".moved";
    ASSERT_TRUE(QFile::rename(fronts[1], moved));
    WaitOutDoubleClickGuard();
    DoubleClickRow(Row(fronts[1]));
    ASSERT_TRUE(WaitUntil([&] { return !boxes.calls.empty(); }));
    EXPECT_EQ(boxes.calls[0].text, LoadUiString(UiStringId::kPlayerError));
    EXPECT_FALSE(Front()->IsPlaying());
    WaitOutDoubleClickGuard();
    DoubleClickRow(Row(fronts[2]));
    EXPECT_TRUE(WaitUntil([&] { return FrontPlays(fronts[2]); }));

    // The whole card gone while a file plays: said so, and nothing shows as
    // playing, whether a player failed or none could start.
    const QString rearAlone = QDir::cleanPath(RearPathFor(fronts[0]));
    ASSERT_FALSE(rearAlone.isEmpty());
    const QString gone = card.path() + "/DCIM.gone";
    const struct {
        const char* what;
        QString row;
    } starts[] = {
        {"a front file, whose player fails", fronts[0]},
        {"a rear file, whose front partner cannot be found", rearAlone},
    };
    for (const auto& start : starts) {
        ASSERT_TRUE(WaitUntil([&] { return FrontPlays(fronts[2]); })) << start.what;
        boxes.calls.clear();
        ASSERT_TRUE(QDir().rename(card.path() + "/DCIM", gone));
        WaitOutDoubleClickGuard();
        DoubleClickRow(Row(start.row));
        ASSERT_TRUE(WaitUntil([&] { return !boxes.calls.empty(); })) << start.what;
        EXPECT_EQ(boxes.calls[0].text, LoadUiString(UiStringId::kRecordingsGone)) << start.what;
        EXPECT_TRUE(WaitUntil([&] { return PlayButton() == 0; }, 3000)) << start.what;
        // N skips to the next recording, which has gone too: it fails as quickly.
        const size_t before = boxes.calls.size();
        QTest::keyClick(dlg_->windowHandle(), Qt::Key_N);
        EXPECT_TRUE(WaitUntil([&] { return boxes.calls.size() > before; })) << start.what;
        ASSERT_TRUE(QDir().rename(gone, card.path() + "/DCIM"));
        WaitOutDoubleClickGuard();
        DoubleClickRow(Row(fronts[2]));
    }

    // The card back in: a double-click starts its file at once.
    ASSERT_TRUE(QFile::rename(moved, fronts[1]));
    WaitOutDoubleClickGuard();
    DoubleClickRow(Row(fronts[1]));
    EXPECT_TRUE(WaitUntil([&] { return FrontPlays(fronts[1]); }));
    EXPECT_EQ(PlayButton(), 1);
}

} // namespace
#endif
