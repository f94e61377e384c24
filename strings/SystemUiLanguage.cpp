#include "strings/SystemUiLanguage.h"

#include "settings/LanguageTable.h"
#include "strings/UiStrings.h"

namespace {

int EntryIndexForLocale(const QLocale& locale) {
    switch (locale.language()) {
    case QLocale::English:
        return 0;
    case QLocale::Chinese: {
        // Traditional script, or a territory that writes it when no script is given.
        const QLocale::Script script = locale.script();
        if (script == QLocale::TraditionalHanScript)
            return 2;
        if (script == QLocale::SimplifiedHanScript)
            return 1;
        const QLocale::Territory t = locale.territory();
        return (t == QLocale::Taiwan || t == QLocale::HongKong || t == QLocale::Macao) ? 2 : 1;
    }
    case QLocale::Spanish:
        return 3;
    case QLocale::Russian:
        return 4;
    case QLocale::Portuguese:
        return 5;
    case QLocale::Japanese:
        return kJapaneseIndex;
    case QLocale::German:
        return 7;
    case QLocale::French:
        return 8;
    case QLocale::Korean:
        return 9;
    case QLocale::Italian:
        return 10;
    case QLocale::Latvian:
        return 11;
    case QLocale::Polish:
        return 12;
    case QLocale::Romanian:
        return 13;
    case QLocale::Slovak:
        return 14;
    case QLocale::Ukrainian:
        return 15;
    default:
        return 0;
    }
}

} // namespace

uint16_t UiLanguageIdForLocale(const QLocale& locale) {
    return LanguageTable()[EntryIndexForLocale(locale)].LanguageId();
}

QString LoadSystemUiString(unsigned id) {
    return LoadUiStringFor(UiLanguageIdForLocale(QLocale::system()), id);
}
