#pragma once
#include <QString>
#include <array>
#include <cstdint>

struct LanguageEntry {
    const char* code; // stored under UI/LANGID
    const char* name; // the language's own name, UTF-8
    uint16_t primaryLanguage;
    uint16_t subLanguage;

    uint16_t LanguageId() const { return uint16_t(subLanguage * 1024 + primaryLanguage); }
};

constexpr int kLanguageCount = 16;
constexpr int kJapaneseIndex = 6;

// The order is the meaning of the language index.
const std::array<LanguageEntry, kLanguageCount>& LanguageTable();

// Exact, case-sensitive match against the codes in table order; -1 when none.
int FindLanguageCode(const QString& code);
