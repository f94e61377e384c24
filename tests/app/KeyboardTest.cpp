// Each key of the main window, sent through the window system to the real
// window while the first recording of a real card plays, with the focus on
// PLAY (as after start-up) and then on the file list.
#if HALVEX_HAVE_SYNTH
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
#include "app/window/CVELDlg.h"
#include "app/window/ControlIds.h"
#include "app/window/KeyboardHelpDlg.h"
#include "app/window/PlaybackLogic.h"
#include "controls/CGdipButton.h"
#include "dialogs/CKesConfigDlg.h"
#include "platform/widgets/MessageBox.h"
#include "strings/UiStrings.h"

#include <QApplication>
#include <QLabel>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

class KeyboardTest : public ShownWindowTest {
  public:
    static void SetUpTestSuite() {
        card_ = new QTemporaryDir;
        QString error;
        fronts_ = WriteCard(card_->path(), 3, 45000, &error);
        ASSERT_EQ(fronts_.size(), 3) << error.toStdString();
    }
    static void TearDownTestSuite() {
        delete card_;
        card_ = nullptr;
    }

    void SetUp() override {
        ShownWindowTest::SetUp();
        dlg_->Playback()->files.kmlFolder = [this] { return kml_.path(); };
        dlg_->OpenFolder(card_->path());
        ASSERT_TRUE(WaitUntil([&] { return Front()->State() == libvlc_Playing && Time() > 0; }));
    }

    CVlcPlayer* Front() const { return dlg_->Playback()->Players().Front(); }
    int64_t Time() const { return Front()->GetTime(); }
    int Volume() const { return static_cast<QSlider*>(dlg_->Control(IDC_VOLUME_SLIDER))->value(); }
    int MuteState() const {
        return static_cast<CGdipButton*>(dlg_->Control(IDC_VOL))->ImageState();
    }
    QString FrontMedia() const { return QString::fromUtf8(Front()->MediaPath()); }
    QTableWidget* FileList() const {
        return static_cast<QTableWidget*>(dlg_->Control(IDC_FILE_LIST));
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(dlg_->windowHandle(), Qt::Key(key), modifiers);
    }
    // A click on the file list's first row, at the window's coordinates.
    void FocusFileList() {
        const QPoint row = FileList()->viewport()->mapTo(dlg_.get(), QPoint(20, 8));
        QTest::mouseClick(dlg_->windowHandle(), Qt::LeftButton, Qt::NoModifier, row);
        ASSERT_TRUE(WaitUntil([&] { return dlg_->focusWidget() == FileList(); }, 2000));
    }
    // Opens nothing: each modal dialog a key brings up is answered after a
    // moment; `seen` gets the class name of the one that opened.
    void AnswerNextDialog(QString* seen, std::function<void(QWidget*)> inside = {}) {
        QTimer::singleShot(400, [seen, inside] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            *seen = dialog->metaObject()->className();
            if (inside)
                inside(dialog);
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                d->reject();
        });
    }

    static QTemporaryDir* card_;
    static QStringList fronts_;
    QTemporaryDir kml_;
    MessageBoxRecorder boxes_;
};
QTemporaryDir* KeyboardTest::card_ = nullptr;
QStringList KeyboardTest::fronts_;

// What the window looked like just before a key.
struct Before {
    int64_t time;
    int volume;
    int speedIndex;
    int mute;
    int listRow;
    QString media;
};

struct KeyCase {
    const char* what;
    int key;
    Qt::KeyboardModifiers modifiers;
    // true: the effect must show within a few seconds; false: the key must
    // have left the players alone after a while.
    bool acts;
    std::function<bool(const KeyboardTest&, const Before&)> effect;
};

TEST_F(KeyboardTest, EachKeyReachesItsCommandAndAFocusedListKeepsItsOwn) {
    const Qt::KeyboardModifiers none = Qt::NoModifier, shift = Qt::ShiftModifier,
                                ctrl = Qt::ControlModifier;
    auto seekedBy = [](int64_t from, int64_t to) {
        return [from, to](const KeyboardTest& t, const Before& b) {
            const int64_t moved = t.Time() - b.time;
            return moved >= from && moved <= to;
        };
    };
    auto volumeIs = [](int delta) {
        return [delta](const KeyboardTest& t, const Before& b) {
            return t.Volume() == b.volume + delta && t.Front()->m_nVolume == 2 * (b.volume + delta);
        };
    };
    auto speedIs = [](int delta) {
        return [delta](const KeyboardTest& t, const Before& b) {
            return t.dlg_->Playback()->controller.m_nSpeedIndex == b.speedIndex + delta;
        };
    };
    auto plays = [](int index) {
        return [index](const KeyboardTest& t, const Before&) {
            return QDir::cleanPath(t.FrontMedia()) == QDir::cleanPath(fronts_[index]) &&
                   t.Front()->State() == libvlc_Playing && t.Time() > 0;
        };
    };
    auto fullScreen = [](bool on) {
        return [on](const KeyboardTest& t, const Before&) {
            return t.dlg_->IsFullScreen() == on && (!on || t.dlg_->FullScreenVideo() == 1);
        };
    };
    auto paused = [](bool on) {
        return [on](const KeyboardTest& t, const Before&) {
            return t.Front()->IsPaused() == on &&
                   t.Front()->State() == (on ? libvlc_Paused : libvlc_Playing);
        };
    };
    const KeyCase onPlay[] = {
        {"Space pauses", Qt::Key_Space, none, true, paused(true)},
        {"Space plays on", Qt::Key_Space, none, true, paused(false)},
        {"Right", Qt::Key_Right, none, true, seekedBy(4000, 7000)},
        {"Shift+Right", Qt::Key_Right, shift, true, seekedBy(28000, 32000)},
        {"Shift+Left", Qt::Key_Left, shift, true, seekedBy(-32000, -28000)},
        {"Left", Qt::Key_Left, none, true, seekedBy(-6000, -3000)},
        {"Up", Qt::Key_Up, none, true, volumeIs(5)},
        {"Down", Qt::Key_Down, none, true, volumeIs(-5)},
        {"+", Qt::Key_Plus, shift, true, speedIs(1)},
        {"-", Qt::Key_Minus, none, true, speedIs(-1)},
        {"M", Qt::Key_M, none, true,
         [](const KeyboardTest& t, const Before& b) { return t.MuteState() == 1 - b.mute; }},
        {"M again", Qt::Key_M, none, true,
         [](const KeyboardTest& t, const Before& b) { return t.MuteState() == 1 - b.mute; }},
        {"N: the next pair, its rear row skipped", Qt::Key_N, none, true, plays(1)},
        {"N", Qt::Key_N, none, true, plays(2)},
        {"N after the last wraps", Qt::Key_N, none, true, plays(0)},
        {"P before the first wraps", Qt::Key_P, none, true, plays(2)},
        {"P", Qt::Key_P, none, true, plays(1)},
        {"F", Qt::Key_F, none, true, fullScreen(true)},
        {"Escape leaves full screen", Qt::Key_Escape, none, true, fullScreen(false)},
        {"F11", Qt::Key_F11, none, true, fullScreen(true)},
        {"F11 again", Qt::Key_F11, none, true, fullScreen(false)},
        {"Escape in the window", Qt::Key_Escape, none, false,
         [](const KeyboardTest& t, const Before&) {
             return t.dlg_->isVisible() && !t.dlg_->IsFullScreen();
         }},
    };
    auto run = [&](const KeyCase& c) {
        const Before before{Time(),
                            Volume(),
                            dlg_->Playback()->controller.m_nSpeedIndex,
                            MuteState(),
                            FileList()->currentRow(),
                            FrontMedia()};
        Key(c.key, c.modifiers);
        if (c.acts) {
            EXPECT_TRUE(WaitUntil([&] { return c.effect(*this, before); }, 5000)) << c.what;
        } else {
            Pump(1500);
            EXPECT_TRUE(c.effect(*this, before)) << c.what;
        }
    };
    ASSERT_EQ(dlg_->focusWidget(), dlg_->Control(IDC_PLAY));
    for (const KeyCase& c : onPlay)
        run(c);

    FocusFileList();
    auto unmoved = [](const KeyboardTest& t, const Before& b) {
        return t.Time() - b.time < 2500 && t.Volume() == b.volume;
    };
    auto listMoved = [](const KeyboardTest& t, const Before& b) {
        return t.FileList()->currentRow() != b.listRow;
    };
    const KeyCase onList[] = {
        {"Right in the list", Qt::Key_Right, none, false, unmoved},
        {"Shift+Right in the list", Qt::Key_Right, shift, false, unmoved},
        {"Down moves in the list", Qt::Key_Down, none, false,
         [&](const KeyboardTest& t, const Before& b) { return unmoved(t, b) && listMoved(t, b); }},
        {"Up moves in the list", Qt::Key_Up, none, false,
         [&](const KeyboardTest& t, const Before& b) { return unmoved(t, b) && listMoved(t, b); }},
        {"Ctrl+Right still seeks", Qt::Key_Right, ctrl, true, seekedBy(4000, 7000)},
        {"Space still pauses", Qt::Key_Space, none, true, paused(true)},
        {"Space plays on", Qt::Key_Space, none, true, paused(false)},
        {"N still starts the next", Qt::Key_N, none, true, plays(2)},
    };
    for (const KeyCase& c : onList)
        run(c);
    EXPECT_EQ(dlg_->focusWidget(), FileList());
}

TEST_F(KeyboardTest, CommandKeysOpenTheirDialogsButNoKeyActsInsideOne) {
    QString seen;
    QStringList keysListed;
    AnswerNextDialog(&seen, [this, &keysListed](QWidget* help) {
        for (const QLabel* label : help->findChildren<QLabel*>())
            if (label->font().bold())
                keysListed << label->text();
        // The help's own button takes Space; the players go on.
        QTest::keyClick(help->windowHandle(), Qt::Key_Space);
        EXPECT_FALSE(Front()->IsPaused());
    });
    Key(Qt::Key_F1);
    EXPECT_EQ(seen, "KeyboardHelpDlg");
    EXPECT_EQ(Front()->State(), libvlc_Playing);
    // Every key of the window has its line, I (the frame clock in full screen) too.
    for (const char* keys : {"Space", "\u2190  \u2192", "Shift+\u2190  Shift+\u2192",
                             "Ctrl+\u2190  Ctrl+\u2192", "\u2191  \u2193", "N  P", "+  \u2212", "M",
                             "F  F11", "Esc", "I", "Ctrl+O", "Del", "Ctrl+E", "Ctrl+,", "F1"})
        EXPECT_TRUE(keysListed.contains(QString::fromUtf8(keys))) << keys;

    seen.clear();
    AnswerNextDialog(&seen);
    Key(Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(seen, "CKesConfigDlg");

    Key(Qt::Key_E, Qt::ControlModifier);
    ASSERT_EQ(boxes_.calls.size(), 1u);
    EXPECT_EQ(boxes_.calls[0].caption, LoadUiString(UiStringId::kSaveKmlCaption));
    EXPECT_EQ(QDir(kml_.path()).entryList({"*.KML"}).size(), 1);

    boxes_.answer = IDCANCEL;
    Key(Qt::Key_Delete);
    ASSERT_EQ(boxes_.calls.size(), 2u);
    EXPECT_EQ(boxes_.calls[1].text, LoadUiString(UiStringId::kDeleteCheckedQuestion));
    EXPECT_EQ(QDir(card_->path() + "/DCIM/front").entryList(QDir::Files).size(), 3);

    QString browsed;
    AnswerFolderBrowser("", &browsed);
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_FALSE(browsed.isEmpty()) << "the folder browser opened";
}

} // namespace
#endif
