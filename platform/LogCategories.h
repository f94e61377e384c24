#pragma once
#include <QLoggingCategory>

// The program's own diagnostics: silent unless asked for with --verbose or
// QT_LOGGING_RULES="halvex.*=true".
Q_DECLARE_LOGGING_CATEGORY(lcDiag) // trace lines of the window, player and map
Q_DECLARE_LOGGING_CATEGORY(lcPage) // the map pages' console messages and script errors
