#pragma once
#include "app/window/MainPlaybackView.h"
#include "app/window/PlaybackLogic.h"
#include "player/CVlcPlayer.h"
#include "presenter/CatalogPresenter.h"
#include "recordings/RecordingCatalog.h"

#include <memory>

class CVELDlg;
class DropHandler;
class KeyboardShortcuts;
struct WindowControls;

// What the main window is made of beyond its own painting, layout and
// messages: the catalog and its presenter, the two players, the controls
// wired to the view the playback logic drives, the logic with its commands,
// and the keys and drops. Members are declared in the order they depend on
// each other, so they go in the reverse: input first, then the logic, the
// view, the players, the data. The controls themselves are the window's
// children and go after all of these.
class WindowAssembly {
  public:
    // Creates every control of the window into `controls` and wires it.
    WindowAssembly(CVELDlg& window, WindowControls& controls);
    ~WindowAssembly();
    WindowAssembly(const WindowAssembly&) = delete;
    WindowAssembly& operator=(const WindowAssembly&) = delete;

    RecordingCatalog catalog;
    CatalogPresenter presenter{catalog};
    CVlcPlayer frontPlayer;
    CVlcPlayer rearPlayer;
    MainPlaybackView view;
    std::unique_ptr<PlaybackLogic> playback;
    std::unique_ptr<KeyboardShortcuts> keys;
    std::unique_ptr<DropHandler> drops;

  private:
    void CreateButtons(CVELDlg& window, WindowControls& c);
    void CreateVideos(CVELDlg& window, WindowControls& c);
    void CreateReadOuts(CVELDlg& window, WindowControls& c);
    void CreateLists(CVELDlg& window, WindowControls& c);
    void CreateMap(CVELDlg& window, WindowControls& c);
    void CreateFrameClock(CVELDlg& window, WindowControls& c);
    void CreateLogic(CVELDlg& window, WindowControls& c);
    void CreateInputHandlers(CVELDlg& window, WindowControls& c);
};
