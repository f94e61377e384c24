#pragma once
#include "platform/WindowMessages.h"
#include "recordings/CatalogViews.h"
#include "recordings/RecordingCatalog.h"

#include <QDialog>

// The main window: frameless, dark, holding every control of the viewer.
class CVELDlg : public QDialog, public MainWindowView {
    Q_OBJECT
  public:
    explicit CVELDlg(QWidget* parent = nullptr);
    ~CVELDlg() override;

    RecordingCatalog& Catalog() { return m_catalog; }

    // Shutdown steps shared by closing and cancelling: stop the front player
    // and save the window rectangle.
    void SaveOnClose();

  protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

    virtual qintptr OnWindowMessage(unsigned message, quintptr wParam, qintptr lParam);

  private:
    void RestoreWindowRect();

    RecordingCatalog m_catalog;
    bool m_bPlaced = false;
};
