#include "dialogs/CMediaOpenDialog.h"

#include "dialogs/CFolderDialog.h"
#include "platform/widgets/MessageBox.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"

#include <QFileInfo>

int CMediaOpenDialog::DoModal() {
    AppSettings& settings = AppSettings::Instance();
    CFolderDialog browser(LoadUiString(UiStringId::kSelectFolder), settings.GetLastFolder(),
                          owner_);
    if (browser.DoModal() != 1)
        return IDCANCEL;
    m_strFolderPath = browser.GetFolderPath();
    m_nSourceMode = Folder;
    settings.Write(SettingKeys::kLastFolder,
                   QFileInfo(m_strFolderPath).exists() ? m_strFolderPath : QString());
    return IDOK;
}
