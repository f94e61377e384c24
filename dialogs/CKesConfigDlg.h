#pragma once
#include <QDialog>

class QComboBox;
class QGroupBox;
class QPushButton;

// The map page and the user-interface language. Each Apply writes its choice
// to the settings file at once and tells the owner, which changes the map
// pane or re-texts its lists and tool-tips; OK applies both.
class CKesConfigDlg : public QDialog {
    Q_OBJECT
  public:
    explicit CKesConfigDlg(QWidget* owner);

    // The map choice the owner takes over after OK.
    int MapChoice() const { return m_nMapChoice; }

    void OnMapApply();
    void OnLanguageApply();
    void accept() override;

    QComboBox* mapList = nullptr;
    QComboBox* languageList = nullptr;
    // Opens the list of privacy zones.
    QPushButton* zonesButton = nullptr;

  private:
    void ApplyTexts();
    void SetLanguageFromList();
    // UI/MAP again, clamped, selected in the map list.
    void SelectStoredMap();

    QWidget* owner_;
    int m_nMapChoice = 0;
    QGroupBox* mapBox_ = nullptr;
    QGroupBox* languageBox_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* mapApply_ = nullptr;
    QPushButton* languageApply_ = nullptr;
};
