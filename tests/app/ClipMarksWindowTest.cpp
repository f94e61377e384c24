// The clip's marks set with [ and ] in the real window while a real
// recording plays, the export chosen from the position slider's right-click
// menu, and the clip found on disk and read back with ffprobe.
#if HALVEX_HAVE_SYNTH
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
#include "app/window/CVELDlg.h"
#include "app/window/ClipMarksHook.h"
#include "app/window/ControlIds.h"
#include "app/window/PlaybackLogic.h"
#include "clipui/ClipExportDlg.h"
#include "platform/widgets/MessageBox.h"
#include "strings/UiStrings.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

class ClipMarksWindowTest : public ShownWindowTest {
  public:
    static void SetUpTestSuite() {
        card_ = new QTemporaryDir;
        QString error;
        fronts_ = WriteCard(card_->path(), 1, 12000, &error);
        ASSERT_EQ(fronts_.size(), 1) << error.toStdString();
    }
    static void TearDownTestSuite() {
        delete card_;
        card_ = nullptr;
    }

    CVlcPlayer* Front() const { return dlg_->Playback()->Players().Front(); }
    void Key(int key) { QTest::keyClick(dlg_->windowHandle(), Qt::Key(key)); }

    static QTemporaryDir* card_;
    static QStringList fronts_;
    QTemporaryDir out_;
};

QTemporaryDir* ClipMarksWindowTest::card_ = nullptr;
QStringList ClipMarksWindowTest::fronts_;

TEST_F(ClipMarksWindowTest, KeysSetTheMarksAndTheSliderMenuExportsTheClip) {
    MessageBoxRecorder boxes;
    dlg_->OpenFolder(card_->path());
    ASSERT_TRUE(
        WaitUntil([&] { return Front()->State() == libvlc_Playing && Front()->GetTime() > 500; }));
    auto* hook = dlg_->ClipMarks();
    ASSERT_TRUE(hook);

    Key(Qt::Key_BracketLeft);
    const int64_t startedAt = Front()->GetTime();
    ASSERT_TRUE(WaitUntil([&] { return Front()->GetTime() > startedAt + 1500; }));
    Key(Qt::Key_BracketRight);
    ASSERT_TRUE(hook->Start() && hook->End());
    const int64_t spanMs = *hook->End() - *hook->Start();
    EXPECT_GE(spanMs, 1400);
    EXPECT_LT(spanMs, 4000);

    // The menu's last entry opens the dialog; a path is typed and Export pressed.
    const QString path = out_.filePath("handed-on.mp4");
    bool dialogSeen = false;
    QTimer::singleShot(500, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        QTimer::singleShot(500, [&] {
            auto* dialog = qobject_cast<ClipExportDlg*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            dialogSeen = true;
            auto* output = dialog->findChild<QLineEdit*>("outputPath");
            output->selectAll();
            QTest::keyClick(output, Qt::Key_Delete);
            QTest::keyClicks(output, path);
            for (auto* button : dialog->findChildren<QPushButton*>()) {
                if (button->text() == LoadUiString(UiStringId::kClipExportButton))
                    QTest::mouseClick(button, Qt::LeftButton);
            }
            // The export runs beside the window; a stuck one is cancelled.
            QTimer::singleShot(60000, dialog, [dialog] { dialog->reject(); });
        });
        QTest::keyClick(menu, Qt::Key_Up);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QWidget* slider = dlg_->Control(IDC_POSITION_SLIDER);
    const QPoint at = slider->mapTo(dlg_.get(), slider->rect().center());
    QTest::mouseClick(dlg_->windowHandle(), Qt::RightButton, {}, at);
    // The menu's exec and the dialog's run inside the click.
    ASSERT_TRUE(WaitUntil([&] { return dialogSeen && !QApplication::activeModalWidget(); }, 70000));

    ASSERT_TRUE(QFileInfo::exists(path)) << [&] {
        std::string texts;
        for (const MessageBoxCall& call : boxes.calls)
            texts += call.text.toStdString() + "\n";
        return texts;
    }();
    ASSERT_FALSE(boxes.calls.empty());
    EXPECT_TRUE(boxes.calls.back().text.contains(path));
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-select_streams", "v", "-show_entries",
                            "stream=codec_name,duration", "-of", "json", path});
    ASSERT_TRUE(probe.waitForFinished(30000));
    const QJsonObject video =
        QJsonDocument::fromJson(probe.readAllStandardOutput())["streams"][0].toObject();
    EXPECT_EQ(video["codec_name"].toString(), "h264");
    EXPECT_NEAR(video["duration"].toString().toDouble() * 1000, double(spanMs), 100);
    EXPECT_TRUE(QFileInfo::exists(out_.filePath("handed-on.sha256")));
}

} // namespace
#endif
