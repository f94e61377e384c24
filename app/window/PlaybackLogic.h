#pragma once
#include "app/commands/ExportCommands.h"
#include "app/commands/FileCommands.h"
#include "app/commands/OpenCommand.h"
#include "app/commands/SnapshotCommand.h"
#include "app/playback/FileStarter.h"
#include "app/playback/PlaybackContext.h"
#include "app/playback/PlaybackController.h"
#include "app/playback/PlaybackTick.h"
#include "app/playback/PlayerPair.h"
#include "platform/WindowTimers.h"

#include <QObject>

// Everything the main window does to play recordings, in one object it owns:
// it takes the playback messages the window hands on, runs the playback
// timers and answers the transport, OPEN, file and SNAP commands.
// Declare it after the players, catalog and controls so that it goes first.
class PlaybackLogic : public QObject {
    Q_OBJECT
  public:
    // The playback timers and the player pair are the logic's own;
    // context.timers and context.players are not used.
    PlaybackLogic(const PlaybackContext& context, CVlcPlayer* front, CVlcPlayer* rear);

    // Call once the controls exist (window initialisation).
    void Initialise() { controller.Initialise(); }

    // A control's command (ControlIds); false when it is not a playback one.
    bool OnCommand(int controlId);
    // A playback window message (slider moves); false for others. The
    // players' reports and the play time come from the pair, list
    // activations from the lists' own signals.
    bool OnWindowMessage(unsigned message);
    // A playback timer; false for other ids.
    bool OnTimer(int id);
    // After every size event: the position slider goes back to its start.
    void OnResized() { context_.timers->SetTimer(kSliderResetTimer, 200); }

    // A click on the map's route: the playing recording seeks to the time of
    // the k-th point the page holds; false when there is no such point.
    bool SeekToRoutePoint(int routePoint);
    // The play time the pair reports: slider, curve, read-outs, map and
    // frame clock follow it.
    void OnPlayTime(qint64 timeMs, qint64 lengthMs);
    // A paused picture that moved reports no play time: map, instruments
    // and frame clock are brought to it here.
    void ShowStillFrame(int64_t timeMs);
    // A newly shown map page starts empty: draws the current recording's
    // route, and the driven line and car up to the play time, on it.
    void RedrawMap();

    WindowTimers& Timers() { return timers_; }
    const PlaybackContext& Context() const { return context_; }
    PlayerPair& Players() { return players_; }

  private:
    // The frame clock for the play time the tick last ran at; blank when
    // nothing is shown.
    void ShowFrameClock(int64_t timeMs);

    WindowTimers timers_;
    PlayerPair players_;
    PlaybackContext context_;

  public:
    PlaybackTick tick;
    PlaybackController controller;
    FileStarter starter;
    OpenCommand open;
    FileCommands files;
    SnapshotCommand snapshot;
    ExportCommands exports;
};
