#include "app/window/KeyboardShortcuts.h"

#include "app/playback/PlaybackView.h"
#include "app/playback/SeekSteps.h"
#include "app/window/CVELDlg.h"
#include "app/window/ClipMarksHook.h"
#include "app/window/ControlIds.h"
#include "app/window/KeyboardHelpDlg.h"
#include "app/window/PlaybackLogic.h"
#include "map/CHtmlMapDlg.h"
#include "platform/WindowMessages.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <algorithm>

namespace {

struct Binding {
    int key;
    Qt::KeyboardModifiers modifiers;
    KeyCommand command;
    bool held;      // auto-repeat repeats it
    bool listKeeps; // a focused list moves with it instead
    bool mapKeeps;  // so does the focused map
};

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kShift = Qt::ShiftModifier;
constexpr Qt::KeyboardModifiers kCtrl = Qt::ControlModifier;
constexpr Qt::KeyboardModifiers kCtrlShift = Qt::ControlModifier | Qt::ShiftModifier;

const Binding kBindings[] = {
    {Qt::Key_Space, kNone, KeyCommand::PlayPause, false, false, false},
    {Qt::Key_Left, kNone, KeyCommand::Back, true, true, true},
    {Qt::Key_Right, kNone, KeyCommand::Forward, true, true, true},
    {Qt::Key_Left, kShift, KeyCommand::LongBack, true, true, true},
    {Qt::Key_Right, kShift, KeyCommand::LongForward, true, true, true},
    {Qt::Key_Left, kCtrl, KeyCommand::Back, true, false, false},
    {Qt::Key_Right, kCtrl, KeyCommand::Forward, true, false, false},
    {Qt::Key_Left, kCtrlShift, KeyCommand::LongBack, true, false, false},
    {Qt::Key_Right, kCtrlShift, KeyCommand::LongForward, true, false, false},
    {Qt::Key_Up, kNone, KeyCommand::VolumeUp, true, true, true},
    {Qt::Key_Down, kNone, KeyCommand::VolumeDown, true, true, true},
    {Qt::Key_N, kNone, KeyCommand::Next, false, false, false},
    {Qt::Key_P, kNone, KeyCommand::Previous, false, false, false},
    {Qt::Key_Plus, kNone, KeyCommand::Faster, true, false, true},
    {Qt::Key_Minus, kNone, KeyCommand::Slower, true, false, true},
    {Qt::Key_M, kNone, KeyCommand::Mute, false, false, false},
    {Qt::Key_F, kNone, KeyCommand::FullScreen, false, false, false},
    {Qt::Key_F11, kNone, KeyCommand::FullScreen, false, false, false},
    {Qt::Key_Escape, kNone, KeyCommand::LeaveFullScreen, false, false, false},
    {Qt::Key_O, kCtrl, KeyCommand::Open, false, false, false},
    {Qt::Key_Delete, kNone, KeyCommand::Delete, false, false, false},
    {Qt::Key_E, kCtrl, KeyCommand::Kml, false, false, false},
    {Qt::Key_F1, kNone, KeyCommand::Help, false, false, false},
    {Qt::Key_Comma, kCtrl, KeyCommand::Settings, false, false, false},
    {Qt::Key_BracketLeft, kNone, KeyCommand::ClipStart, false, false, false},
    {Qt::Key_BracketRight, kNone, KeyCommand::ClipEnd, false, false, false},
};

bool IsTextField(const QWidget* w) {
    if (const auto* combo = qobject_cast<const QComboBox*>(w))
        return combo->isEditable();
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

} // namespace

std::optional<KeyCommand> CommandForKey(int key, Qt::KeyboardModifiers modifiers, KeyFocus focus,
                                        bool autoRepeat) {
    modifiers &= ~Qt::KeypadModifier;
    // "+" takes Shift on most layouts.
    if (key == Qt::Key_Plus || key == Qt::Key_Minus)
        modifiers &= ~Qt::ShiftModifier;
    const auto it = std::find_if(std::begin(kBindings), std::end(kBindings), [&](const Binding& b) {
        return b.key == key && b.modifiers == modifiers;
    });
    if (it == std::end(kBindings))
        return std::nullopt;
    if ((focus == KeyFocus::List && it->listKeeps) || (focus == KeyFocus::Map && it->mapKeeps))
        return std::nullopt;
    if (autoRepeat && !it->held)
        return std::nullopt;
    return it->command;
}

KeyboardShortcuts::KeyboardShortcuts(CVELDlg& window, ClipMarksHook& clipMarks,
                                     QAbstractButton& mute)
    : window_(window), clipMarks_(clipMarks), mute_(mute) {}

std::optional<KeyFocus> KeyboardShortcuts::FocusKind() const {
    const QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != &window_)
        return std::nullopt;
    const QWidget* focus = window_.focusWidget();
    if (!focus)
        return KeyFocus::Window;
    if (focus->window() != &window_ || IsTextField(focus))
        return std::nullopt;
    if (window_.MapWindow() && window_.MapWindow()->isAncestorOf(focus))
        return KeyFocus::Map;
    if (qobject_cast<const QAbstractItemView*>(focus))
        return KeyFocus::List;
    return KeyFocus::Window;
}

bool KeyboardShortcuts::Filter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget*>(watched)->window() != &window_)
        return false;
    const std::optional<KeyFocus> focus = FocusKind();
    if (!focus)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const std::optional<KeyCommand> command =
        CommandForKey(key->key(), key->modifiers(), *focus, key->isAutoRepeat());
    if (!command) {
        // A held key of ours acts once; its repeats reach no widget either.
        return key->isAutoRepeat() &&
               CommandForKey(key->key(), key->modifiers(), *focus, false).has_value();
    }
    // Escape keeps its meaning outside full screen: it is swallowed by the window.
    if (*command == KeyCommand::LeaveFullScreen && !window_.IsFullScreen())
        return false;
    Run(*command);
    return true;
}

void KeyboardShortcuts::Run(KeyCommand command) {
    PlaybackLogic* logic = window_.Playback();
    switch (command) {
    case KeyCommand::PlayPause:
        window_.Command(IDC_PLAY);
        break;
    case KeyCommand::Back:
        SeekBy(-kSeekMs);
        break;
    case KeyCommand::Forward:
        SeekBy(kSeekMs);
        break;
    case KeyCommand::LongBack:
        SeekBy(-kLongSeekMs);
        break;
    case KeyCommand::LongForward:
        SeekBy(kLongSeekMs);
        break;
    case KeyCommand::VolumeUp:
        VolumeBy(kVolumeStep);
        break;
    case KeyCommand::VolumeDown:
        VolumeBy(-kVolumeStep);
        break;
    case KeyCommand::Next:
    case KeyCommand::Previous:
        if (logic)
            logic->starter.StartNeighbour(command == KeyCommand::Next ? 1 : -1);
        break;
    case KeyCommand::Faster:
        window_.Command(IDC_FAST);
        break;
    case KeyCommand::Slower:
        window_.Command(IDC_SLOW);
        break;
    case KeyCommand::Mute:
        // As a press of Vol, whose picture then shows the new state.
        mute_.click();
        break;
    case KeyCommand::FullScreen:
        window_.ToggleFrontFullScreen();
        break;
    case KeyCommand::LeaveFullScreen:
        if (window_.IsFullScreen())
            window_.ToggleFrontFullScreen();
        break;
    case KeyCommand::Open:
        window_.Command(IDC_OPEN);
        break;
    case KeyCommand::Delete:
        window_.Command(IDC_DEL);
        break;
    case KeyCommand::Kml:
        window_.Command(IDC_KML);
        break;
    case KeyCommand::Help:
        KeyboardHelpDlg(&window_).exec();
        break;
    case KeyCommand::Settings:
        window_.Command(IDC_CONF);
        break;
    case KeyCommand::ClipStart:
    case KeyCommand::ClipEnd:
        command == KeyCommand::ClipStart ? clipMarks_.MarkStart() : clipMarks_.MarkEnd();
        break;
    }
}

void KeyboardShortcuts::SeekBy(int deltaMs) {
    PlaybackLogic* logic = window_.Playback();
    if (!logic)
        return;
    const PlaybackContext& ctx = logic->Context();
    const PlayerPair& players = logic->Players();
    if (!players.ShownPlayer())
        return;
    // Presses quicker than the seek timer add up.
    const int64_t pending = logic->controller.m_nPendingSeekMs;
    const int64_t from = pending != 0 ? pending : players.TimeNow();
    const int position =
        SeekSliderPosition(from, deltaMs, players.LengthNow(), ctx.view->SeekSpan());
    if (position == 0)
        return;
    ctx.view->SetPositionSliderPos(ctx.view->SeekMinimum() + position);
    SendWindowMessage(ctx.window, WM_SEEK_REQUEST);
}

void KeyboardShortcuts::VolumeBy(int delta) {
    PlaybackLogic* logic = window_.Playback();
    if (!logic)
        return;
    const PlaybackContext& ctx = logic->Context();
    ctx.view->SetVolumeSliderPos(std::clamp(ctx.view->VolumeSliderPos() + delta, 0, 100));
    SendWindowMessage(ctx.window, WM_VOLUME_CHANGED);
}
