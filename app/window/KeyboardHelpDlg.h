#pragma once
#include <QDialog>

// A short list of the main window's keys, in the current language.
class KeyboardHelpDlg : public QDialog {
    Q_OBJECT
  public:
    explicit KeyboardHelpDlg(QWidget* parent = nullptr);
};
