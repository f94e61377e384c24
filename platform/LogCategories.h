#pragma once
#include <QLoggingCategory>

// The program's own diagnostics: silent unless asked for with --verbose or
// QT_LOGGING_RULES="halvex.*=true"; only libav's faults in a recording are
// written without asking, one line per file.
Q_DECLARE_LOGGING_CATEGORY(lcDiag) // trace lines of the window, player and map
Q_DECLARE_LOGGING_CATEGORY(lcPage) // the map pages' console messages and script errors
Q_DECLARE_LOGGING_CATEGORY(lcAv)   // libav's messages, gathered per file by the clip export
