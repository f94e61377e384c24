#pragma once
// halvex-cli trips|events|near: the card index of a folder from a shell.
#include <QStringList>
#include <cstdio>

namespace CliIndex {

extern const char kTripsUsage[];
extern const char kEventsUsage[];
extern const char kNearUsage[];

// `command` is "trips", "events" or "near"; `arguments` follow it. Results
// go to `out` through `write` (which notes a failed write). Returns the exit
// code.
int Run(const QString& command, const QStringList& arguments, FILE* out,
        void (*write)(FILE*, const QByteArray&));

} // namespace CliIndex
