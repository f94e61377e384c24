#pragma once
// halvex-cli gpx|csv: the route of recordings or of a whole trip as GPX or
// CSV files, or on standard output.
#include <QStringList>
#include <cstdio>

namespace CliExport {

extern const char kGpxUsage[];
extern const char kCsvUsage[];

// `command` is "gpx" or "csv"; `arguments` follow it. Returns the exit code.
int Run(const QString& command, const QStringList& arguments, FILE* out);

} // namespace CliExport
