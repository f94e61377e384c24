#pragma once
#include <QObject>
#include <functional>

class QMenu;
class QWidget;

// The right-click menu of the window's top strip (above the videos, the
// lists and the map): Settings…, Keyboard shortcuts, About.
class StripMenu : public QObject {
    Q_OBJECT
  public:
    // Height of the strip: the panes begin below it.
    static constexpr int kStripHeight = 48;

    StripMenu(QWidget& window, std::function<void()> settings, std::function<void()> shortcuts,
              std::function<void()> about);

    // An item for the card overview, after Keyboard shortcuts.
    void SetOverview(std::function<void()> overview) { overview_ = std::move(overview); }

    // The menu while it is open (for tests), else null.
    QMenu* OpenMenu() const { return menu_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    std::function<void()> settings_;
    std::function<void()> shortcuts_;
    std::function<void()> about_;
    std::function<void()> overview_;
    QMenu* menu_ = nullptr;
};
