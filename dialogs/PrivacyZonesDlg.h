#pragma once
// The list of privacy zones kept in the settings file: latitude, longitude
// and radius per row, Add and Remove; OK writes the list (every row must
// read as a zone), Cancel leaves the file as it was.
#include "settings/PrivacyZones.h"

#include <QDialog>
#include <vector>

class QPushButton;
class QTableWidget;

class PrivacyZonesDlg : public QDialog {
    Q_OBJECT
  public:
    explicit PrivacyZonesDlg(QWidget* owner);

    QTableWidget* table = nullptr;
    QPushButton* addButton = nullptr;
    QPushButton* removeButton = nullptr;

    void accept() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void AddRow(const QStringList& cells);
    QString loadError_; // said once the list is on screen
};
