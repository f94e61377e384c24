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

// What the main window is made of beyond its own painting, layout and
// messages: the catalog and its presenter, the two players, the controls
// wired to the view the playback logic drives, the logic with its commands,
// and the keys and drops. Members are declared in the order they depend on
// each other, so they go in the reverse: input first, then the logic, the
// view, the players, the data. The controls themselves are the window's
// children and go after all of these.
class WindowAssembly {
  public:
    // Creates every control of the window and wires it.
    explicit WindowAssembly(CVELDlg& window);
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
    // Registers a new control under its id, as the window finds it.
    template <typename Control> static Control* Add(CVELDlg& window, int id, Control* control);
    void CreateButtons(CVELDlg& window);
    void CreateReadOuts(CVELDlg& window);
    void CreateLists(CVELDlg& window);
    void CreateMap(CVELDlg& window);
    void CreateFrameClock(CVELDlg& window);
    void CreateLogic(CVELDlg& window);
    void CreateInputHandlers(CVELDlg& window);
};
