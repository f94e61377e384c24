#pragma once
#include <QDialog>
#include <QStringList>
#include <cstdint>

class QPlainTextEdit;
class QPushButton;

// Asks before recordings leave the library: names every file that would be
// deleted and their size; Delete is the only way to accept.
class FreeSpaceDialog : public QDialog {
    Q_OBJECT
  public:
    // `shown` are the files as the user reads them (below the library).
    FreeSpaceDialog(const QStringList& shown, uint64_t bytes, QWidget* parent = nullptr);

    QPlainTextEdit* Files() const { return files_; }
    QPushButton* DeleteButton() const { return delete_; }
    QPushButton* CancelButton() const { return cancel_; }

  private:
    QPlainTextEdit* files_;
    QPushButton* delete_;
    QPushButton* cancel_;
};
