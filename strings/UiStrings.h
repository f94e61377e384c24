#pragma once
#include "strings/UiStringIds.h"

#include <QString>
#include <cstdint>

// The text of a string id (a UiStringId name) in the current language
// (AppSettings), with the lookup's fallbacks; "" for an id the table does not
// hold.
QString LoadUiString(unsigned id);

// The text of a string id with its "%s" filled in by `value`.
QString LoadUiStringFilled(unsigned id, const QString& value);

// The same lookup for a given Windows language id.
QString LoadUiStringFor(uint16_t languageId, unsigned id);
