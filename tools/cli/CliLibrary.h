#pragma once
// halvex-cli import and halvex-cli library: keeping cards in a library and
// checking what it keeps.
#include <QStringList>
#include <cstdio>

namespace CliLibrary {

extern const char kImportUsage[];
extern const char kLibraryUsage[];

// `command` is "import" or "library"; `arguments` follow it. Results go to
// `out` through `write`, progress to standard error. Returns the exit code.
int Run(const QString& command, const QStringList& arguments, FILE* out,
        void (*write)(FILE*, const QByteArray&));

} // namespace CliLibrary
