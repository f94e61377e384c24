#pragma once

class CatalogPresenter;
class PlaybackView;
class PlayerPair;
class QWidget;
class RecordingCatalog;
class WindowTimers;

// What the playback classes share: the main window (owner of message boxes
// and receiver of the players' messages), its catalog and the presenter that
// shows it, controls and the pair of players. None of them is owned here.
struct PlaybackContext {
    QWidget* window = nullptr;
    RecordingCatalog* catalog = nullptr;
    CatalogPresenter* presenter = nullptr;
    PlaybackView* view = nullptr;
    PlayerPair* players = nullptr;
    WindowTimers* timers = nullptr;
};
