// Every user-interface text, in all 16 languages, can be drawn with the fonts
// the setup installs: no character falls back to an empty box.
#include "settings/LanguageTable.h"
#include "strings/StringTable.h"

#include <QApplication>
#include <QFont>
#include <QGlyphRun>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

bool HasEmptyBox(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    while (layout.createLine().isValid()) {
    }
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns())
        if (run.glyphIndexes().contains(0))
            return true;
    return false;
}

// Characters of the text that no installed font draws.
QString Undrawable(const QString& text, const QFont& font) {
    QString missing;
    if (!HasEmptyBox(text, font))
        return missing;
    for (const uint c : text.toUcs4()) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&c), 1);
        if (!QChar::isSpace(c) && HasEmptyBox(one, font))
            missing += one;
    }
    return missing;
}

TEST(Fonts, EveryTextOfEveryLanguageHasItsGlyphs) {
    // The window's own faces (metric substitutes) and the default one.
    const QFont fonts[] = {QApplication::font(), QFont("Arial"), QFont("Arial Black")};
    const StoredUiTable table = BuiltInUiTable();
    for (const QFont& font : fonts) {
        int faults = 0;
        for (size_t i = 0; i < table.count && faults < 10; ++i) {
            const QString text = QString::fromUtf16(table.texts[i].text);
            const QString missing = Undrawable(text, font);
            if (!missing.isEmpty())
                ++faults;
            EXPECT_EQ(missing.toStdString(), "")
                << font.family().toStdString() << ", language 0x" << std::hex
                << table.texts[i].languageId << std::dec << ", string " << table.texts[i].stringId
                << ": " << text.toStdString();
        }
        for (const LanguageEntry& language : LanguageTable())
            EXPECT_EQ(Undrawable(QString::fromUtf8(language.name), font).toStdString(), "")
                << language.code;
    }
}

} // namespace
