#include "strings/UiStrings.h"

#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "strings/StringTable.h"

QString LoadUiString(unsigned id) {
    // Read on every call, so a language change reaches the next text loaded.
    const int index = AppSettings::Instance().LanguageIndex();
    return LoadUiStringFor(LanguageTable()[index].LanguageId(), id);
}

QString LoadUiStringFilled(unsigned id, const QString& value) {
    return LoadUiString(id).replace(QLatin1String("%s"), value);
}

QString LoadUiStringFor(uint16_t languageId, unsigned id) {
    return LookupUiString(BuiltInUiTable(), languageId, id);
}
