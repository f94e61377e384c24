#pragma once
#include "app/ExportCommands.h"
#include "app/FileCommands.h"
#include "app/FileStarter.h"
#include "app/OpenCommand.h"
#include "app/PlaybackContext.h"
#include "app/PlaybackController.h"
#include "app/PlaybackTick.h"
#include "app/SnapshotCommand.h"
#include "platform/WindowTimers.h"

#include <QObject>

// Everything the main window does to play recordings, in one object it owns:
// it takes the window's playback messages (through an event filter on the
// window), runs the playback timers and answers the transport, OPEN, file
// and SNAP commands.
// Declare it after the players, catalog and controls so that it goes first.
class PlaybackLogic : public QObject {
    Q_OBJECT
  public:
    // The playback timers are the logic's own; context.timers is not used.
    explicit PlaybackLogic(const PlaybackContext& context);
    ~PlaybackLogic() override;

    // Call once the controls exist (window initialisation).
    void Initialise() { controller.Initialise(); }

    // A control's command (ControlIds); false when it is not a playback one.
    bool OnCommand(int controlId);
    // A playback window message; false for others.
    bool OnWindowMessage(unsigned message, quintptr wParam, qintptr lParam);
    // A playback timer; false for other ids.
    bool OnTimer(int id);
    // After every size event: the position slider goes back to its start.
    void OnResized() { context_.timers->SetTimer(kSliderResetTimer, 200); }

    // A click on the map's route: the playing recording seeks to the time of
    // the k-th point the page holds; false when there is no such point.
    bool SeekToRoutePoint(int routePoint);
    // The frame clock for a play time (ms); blank when nothing plays.
    void UpdateFrameClock(int64_t timeMs);

    WindowTimers& Timers() { return timers_; }
    const PlaybackContext& Context() const { return context_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    WindowTimers timers_;
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
