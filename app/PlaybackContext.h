#pragma once

class CVlcPlayer;
class PlaybackView;
class QWidget;
class RecordingCatalog;
class WindowTimers;

// What the playback classes share: the main window (owner of message boxes
// and receiver of the players' messages), its catalog, controls and players.
// None of them is owned here.
struct PlaybackContext {
    QWidget* window = nullptr;
    RecordingCatalog* catalog = nullptr;
    PlaybackView* view = nullptr;
    CVlcPlayer* front = nullptr;
    CVlcPlayer* rear = nullptr;
    WindowTimers* timers = nullptr;
};
