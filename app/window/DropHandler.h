#pragma once
#include <QObject>
#include <QString>
#include <functional>

class QMimeData;
class QWidget;

// What a drag over the main window would open: a folder, or a recording
// file, which opens its folder and starts itself.
struct DropTarget {
    QString folder;
    QString file; // empty for a folder
};

// The target of dragged data: its first URL, when that is a local folder or
// a file that the folder scan would list; nothing otherwise.
bool DropTargetOf(const QMimeData* data, DropTarget* target);

// Folders and recordings dragged onto the main window, wherever they are
// dropped in it (the map's page included). Anything else is refused while it
// is dragged, so the cursor shows that it cannot be dropped. The main
// window's application-wide filter hands it every event first.
class DropHandler : public QObject {
    Q_OBJECT
  public:
    using Opener = std::function<void(const DropTarget&)>;

    DropHandler(QWidget& window, Opener open);

    // True when the event was a drag over or a drop on the window, taken.
    bool Filter(QObject* watched, QEvent* event);

  private:
    QWidget& window_;
    Opener open_;
};
