#pragma once
#include <QString>

class QWidget;

// The save dialog of SNAP: a file name for the pictures, JPEG or PNG, asking
// before an existing file is replaced.
class CSnapshotDialog {
  public:
    explicit CSnapshotDialog(QWidget* owner);

    // 1: a name was chosen; 2: cancelled.
    int DoModal();
    // The full path chosen, with the extension of the chosen type added when
    // the name was typed without one.
    QString GetPathName() const { return path_; }

  private:
    QWidget* owner_;
    QString path_;
};
