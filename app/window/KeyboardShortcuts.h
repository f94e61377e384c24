#pragma once
#include <QObject>
#include <Qt>
#include <optional>

class CVELDlg;
class ClipMarksHook;
class QAbstractButton;
class QKeyEvent;

// What a key of the main window does.
enum class KeyCommand {
    PlayPause,
    Back,
    Forward,
    LongBack,
    LongForward,
    VolumeUp,
    VolumeDown,
    Next,
    Previous,
    Faster,
    Slower,
    Mute,
    FullScreen,
    LeaveFullScreen,
    Open,
    Delete,
    Kml,
    Help,
    Settings,
    ClipStart,
    ClipEnd,
};

// The widget that has the keyboard focus, as far as the keys care: a list
// and the map keep the keys they move with.
enum class KeyFocus { Window, List, Map };

// The command of a key, or none when the key is not one of ours or the
// focused widget keeps it. Auto-repeated presses count only for the keys
// that may be held (seek, volume, rate).
std::optional<KeyCommand> CommandForKey(int key, Qt::KeyboardModifiers modifiers, KeyFocus focus,
                                        bool autoRepeat);

// The keyboard of the main window, everywhere in it, in the conventions of
// desktop video players. It sees each key before the focused widget does,
// but leaves every key to a text field or a dialog: the main window's
// application-wide filter hands it every event first.
class KeyboardShortcuts : public QObject {
    Q_OBJECT
  public:
    static constexpr int kSeekMs = 5000;
    static constexpr int kLongSeekMs = 30000;
    static constexpr int kVolumeStep = 5;

    // `mute` is the Vol button, which M presses.
    KeyboardShortcuts(CVELDlg& window, ClipMarksHook& clipMarks, QAbstractButton& mute);

    void Run(KeyCommand command);
    // True when the event was a key of the window's that this took.
    bool Filter(QObject* watched, QEvent* event);

  private:
    std::optional<KeyFocus> FocusKind() const;
    // Through the position slider and WM_SEEK_REQUEST, as a drag of the thumb.
    void SeekBy(int deltaMs);
    // Through the volume slider and WM_VOLUME_CHANGED.
    void VolumeBy(int delta);

    CVELDlg& window_;
    ClipMarksHook& clipMarks_;
    QAbstractButton& mute_;
};
