#include "dialogs/CKesConfigDlg.h"

#include "dialogs/DialogUnits.h"
#include "dialogs/PrivacyZonesDlg.h"
#include "platform/WindowMessages.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "strings/UiStrings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

CKesConfigDlg::CKesConfigDlg(QWidget* owner) : QDialog(owner), owner_(owner) {
    setObjectName("CKesConfigDlg");
    // The template is laid out in the dialog's own font, so that the longest
    // translations keep room in its buttons and lists.
    const DialogUnits units = DialogUnits::Of(font());
    auto FromDialogUnits = [&units](int x, int y, int cx, int cy) {
        return units.ToPixels(x, y, cx, cy);
    };
    setFixedSize(FromDialogUnits(0, 0, 357, 116).size());
    mapBox_ = new QGroupBox(this);
    mapBox_->setGeometry(FromDialogUnits(6, 3, 101, 83));
    languageBox_ = new QGroupBox(this);
    languageBox_->setGeometry(FromDialogUnits(117, 3, 101, 83));
    mapList = new QComboBox(this);
    mapList->setGeometry(FromDialogUnits(22, 23, 74, 17));
    languageList = new QComboBox(this);
    languageList->setGeometry(FromDialogUnits(135, 23, 66, 16));
    mapApply_ = new QPushButton(this);
    mapApply_->setGeometry(FromDialogUnits(29, 55, 50, 14));
    languageApply_ = new QPushButton(this);
    languageApply_->setGeometry(FromDialogUnits(143, 55, 50, 14));
    ok_ = new QPushButton(this);
    ok_->setGeometry(FromDialogUnits(245, 95, 50, 14));
    ok_->setDefault(true);
    cancel_ = new QPushButton(this);
    cancel_->setGeometry(FromDialogUnits(300, 95, 50, 14));
    // Beside the template's two groups, in the room right of them.
    zonesButton = new QPushButton(this);
    zonesButton->setGeometry(FromDialogUnits(229, 8, 121, 14));
    connect(zonesButton, &QPushButton::clicked, this, [this] {
        PrivacyZonesDlg zones(this);
        zones.exec();
    });
    connect(ok_, &QPushButton::clicked, this, &CKesConfigDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CKesConfigDlg::reject);
    connect(mapApply_, &QPushButton::clicked, this, &CKesConfigDlg::OnMapApply);
    connect(languageApply_, &QPushButton::clicked, this, &CKesConfigDlg::OnLanguageApply);

    for (const LanguageEntry& entry : LanguageTable())
        languageList->addItem(QString::fromUtf8(entry.name));
    mapList->clear();
    mapList->addItem(LoadUiString(UiStringId::kGoogleMap));
    mapList->addItem(LoadUiString(UiStringId::kChinaMap));
    languageList->setCurrentIndex(AppSettings::Instance().LanguageIndex());
    ApplyTexts();
    SelectStoredMap();
}

void CKesConfigDlg::ApplyTexts() {
    setWindowTitle(LoadUiString(UiStringId::kConfigTitle));
    ok_->setText(LoadUiString(UiStringId::kOkButton));
    cancel_->setText(LoadUiString(UiStringId::kCancelButton));
    mapApply_->setText(LoadUiString(UiStringId::kApplyButton));
    languageApply_->setText(LoadUiString(UiStringId::kApplyButton));
    mapBox_->setTitle(LoadUiString(UiStringId::kSelectMap));
    languageBox_->setTitle(LoadUiString(UiStringId::kSelectLanguage));
    zonesButton->setText(LoadUiString(UiStringId::kPrivacyZonesButton));
}

void CKesConfigDlg::SelectStoredMap() {
    AppSettings& settings = AppSettings::Instance();
    const int choice = settings.ReadMapChoice();
    mapList->setCurrentIndex(choice < mapList->count() ? choice : 0);
}

void CKesConfigDlg::OnMapApply() {
    m_nMapChoice = mapList->currentIndex() == MAP_CHINA ? MAP_CHINA : MAP_GOOGLE;
    AppSettings& settings = AppSettings::Instance();
    settings.SetMapChoice(m_nMapChoice);
    settings.Write(SettingKeys::kMapChoice, m_nMapChoice);
    PostWindowMessage(owner_, WM_MAP_TYPE_CHANGED, quintptr(m_nMapChoice));
}

void CKesConfigDlg::SetLanguageFromList() {
    const int index = languageList->currentIndex();
    if (index >= 0 && index < kLanguageCount)
        AppSettings::Instance().SetLanguage(index);
    ApplyTexts();
}

void CKesConfigDlg::OnLanguageApply() {
    const int map = mapList->currentIndex();
    SetLanguageFromList();
    // The map list's own texts stay; its choice is kept.
    mapList->setCurrentIndex(map);
    PostWindowMessage(owner_, WM_LANGUAGE_CHANGED, quintptr(qintptr(languageList->currentIndex())));
}

void CKesConfigDlg::accept() {
    OnMapApply();
    SetLanguageFromList();
    SelectStoredMap();
    PostWindowMessage(owner_, WM_LANGUAGE_CHANGED, quintptr(qintptr(languageList->currentIndex())));
    QDialog::accept();
}
