#include "strings/StringTable.h"

#include "settings/LanguageTable.h"

#include <algorithm>
#include <tuple>

namespace {

// The primary language is the low ten bits; sub-language 0 is the neutral one.
uint16_t NeutralOf(uint16_t languageId) {
    return languageId & 0x03FF;
}

QString LookupOneLanguage(const StoredUiTable& table, uint16_t languageId, unsigned stringId) {
    const char16_t* text = FindStoredUiText(table, languageId, stringId);
    if (!text)
        text = FindStoredUiText(table, NeutralOf(languageId), stringId);
    return text ? QString::fromUtf16(text) : QString();
}

} // namespace

const char16_t* FindStoredUiText(const StoredUiTable& table, uint16_t languageId,
                                 unsigned stringId) {
    // Ids are 16-bit in the table; a larger id must not wrap onto a small one.
    if (stringId > 0xFFFF)
        return nullptr;
    const auto key = std::make_tuple(languageId, uint16_t(stringId));
    const StoredUiText* end = table.texts + table.count;
    const StoredUiText* it =
        std::lower_bound(table.texts, end, key, [](const StoredUiText& t, const auto& k) {
            return std::make_tuple(t.languageId, t.stringId) < k;
        });
    if (it == end || it->languageId != languageId || it->stringId != stringId)
        return nullptr;
    return it->text;
}

QString LookupUiString(const StoredUiTable& table, uint16_t languageId, unsigned stringId) {
    QString text = LookupOneLanguage(table, languageId, stringId);
    if (text.isEmpty())
        text = LookupOneLanguage(table, LanguageTable()[kJapaneseIndex].LanguageId(), stringId);
    return text;
}
