#include "settings/LanguageTable.h"

const std::array<LanguageEntry, kLanguageCount>& LanguageTable() {
    static const std::array<LanguageEntry, kLanguageCount> table = {{
        {"ENG", "English", 0x09, 1},
        {"CHS", "简体中文", 0x04, 2},
        {"CHT", "繁體中文", 0x04, 1},
        {"ESP", "español", 0x0A, 1},
        {"RUS", "русский", 0x19, 1},
        {"POR", "português", 0x16, 2},
        {"JPN", "日本語", 0x11, 1},
        {"GER", "Deutsch", 0x07, 1},
        {"FRA", "français", 0x0C, 1},
        {"KOR", "한국의", 0x12, 1},
        {"ITA", "italiano", 0x10, 1},
        {"LAT", "Latviski", 0x26, 1},
        {"POL", "Polski", 0x15, 1},
        {"ROM", "Română", 0x18, 1},
        {"SLV", "Slovenčina", 0x1B, 1},
        {"UKR", "Українська", 0x22, 1},
    }};
    return table;
}

int FindLanguageCode(const QString& code) {
    const auto& table = LanguageTable();
    for (int i = 0; i < kLanguageCount; ++i)
        if (code == QLatin1String(table[i].code))
            return i;
    return -1;
}
