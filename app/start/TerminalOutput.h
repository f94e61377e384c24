#pragma once
#include <QStringList>

// What the viewer prints on the terminal it was started from: warnings and
// errors of its own, of libvlc and of the browser engine, and the program's
// diagnostics (category halvex.diag and the like) only when --verbose asks
// for them. QT_LOGGING_RULES still decides over both.
namespace TerminalOutput {

// Before the application object: the browser engine reads its command line
// from the environment.
void PrepareBrowser(bool verbose);

// Once the application object exists, before any player or page is made.
void SetLoggingRules(bool verbose);

} // namespace TerminalOutput
