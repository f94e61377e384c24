#pragma once
#include <QLocale>
#include <QString>
#include <cstdint>

// A few texts (the system-menu About item, the player error and the socket
// failure) follow the desktop's language rather than the one chosen in the
// program. These give that language's id and those texts.

// The language id of the table entry for `locale`; English when the table has
// no entry for its language.
uint16_t UiLanguageIdForLocale(const QLocale& locale);

// The text of `id` in the language of QLocale::system(), with the usual
// fallbacks.
QString LoadSystemUiString(unsigned id);
