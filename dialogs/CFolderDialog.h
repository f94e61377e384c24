#pragma once
#include <QString>

class QWidget;

// The folder browser: the system's folder picker with the last folder
// preselected.
class CFolderDialog {
  public:
    CFolderDialog(const QString& title, const QString& initialFolder, QWidget* owner,
                  unsigned flags = 0);

    // 1: a folder was chosen; 2: cancelled; -1: the choice has no file-system path.
    int DoModal();
    QString GetFolderPath() const { return selected_; }

  private:
    QString title_;
    QString initial_;
    QWidget* owner_;
    QString selected_;
};
