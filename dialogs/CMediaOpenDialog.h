#pragma once
#include <QString>

class QWidget;

// Asks where the recordings are. Only the folder step is ever seen: the
// dialog runs the folder browser at once and ends with its result.
class CMediaOpenDialog {
  public:
    enum SourceMode { Disk = 0, File = 1, Folder = 2 };

    explicit CMediaOpenDialog(QWidget* owner) : owner_(owner) {}

    // IDOK (1) with a folder chosen, IDCANCEL (2) otherwise. A chosen folder
    // is remembered as UI/Folder (empty when it does not exist).
    int DoModal();

    int m_nSourceMode = Disk;
    QString m_strFolderPath;

  private:
    QWidget* owner_;
};
