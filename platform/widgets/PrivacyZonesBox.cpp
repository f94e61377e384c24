#include "platform/widgets/PrivacyZonesBox.h"

#include "platform/widgets/MessageBox.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"

bool ReadZonesOrSay(QWidget* owner, const QString& caption, std::vector<PrivacyZone>* zones) {
    QString error;
    if (ReadPrivacyZones(AppSettings::Instance(), zones, &error))
        return true;
    ShowMessageBox(owner, LoadUiString(UiStringId::kPrivacyZonesUnreadable).replace("%s", error),
                   caption, MbButtons::Ok, MbIcon::Warning);
    return false;
}
