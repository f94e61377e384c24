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
// is dragged, so the cursor shows that it cannot be dropped.
class DropHandler : public QObject {
    Q_OBJECT
  public:
    using Opener = std::function<void(const DropTarget&)>;

    DropHandler(QWidget& window, Opener open);
    ~DropHandler() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget& window_;
    Opener open_;
};
