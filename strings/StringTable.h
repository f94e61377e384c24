#pragma once
#include <QString>
#include <cstddef>
#include <cstdint>

// One text of the string table: the text of `stringId` stored under the
// Windows language id `languageId`.
struct StoredUiText {
    uint16_t languageId;
    uint16_t stringId;
    const char16_t* text;
};

// Texts sorted by language id, then string id; each pair at most once.
struct StoredUiTable {
    const StoredUiText* texts;
    size_t count;
};

// The table compiled from strings/ui_strings.tsv.
StoredUiTable BuiltInUiTable();

// The text stored under exactly this language and id, or nullptr.
const char16_t* FindStoredUiText(const StoredUiTable& table, uint16_t languageId,
                                 unsigned stringId);

// The language's own text, else the one under its neutral sub-language; when
// that gives nothing or an empty text, the same for Japanese; "" at last.
QString LookupUiString(const StoredUiTable& table, uint16_t languageId, unsigned stringId);
