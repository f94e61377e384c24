#pragma once
// halvex-cli clip: a clip of one recording or of a group, with its
// evidence bundle; progress on standard error.
#include <QStringList>
#include <cstdio>

namespace CliClip {

extern const char kUsage[];

// `arguments` follow the command name. Returns the exit code.
int Run(const QStringList& arguments, FILE* out);

} // namespace CliClip
