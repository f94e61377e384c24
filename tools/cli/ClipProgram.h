#pragma once
// `halvex-cli clip` is run by halvex-clip, which lies beside halvex-cli (in
// the build tree's tools/ and in the installed bin/): only a clip pays for
// loading the clip engine.

namespace ClipProgram {

// Replaces this process with halvex-clip given argv's arguments after the
// command name, so that signals (Ctrl-C) and the exit code are its own.
// Returns only when it cannot be run, with the exit code after saying why.
int Exec(int argc, char** argv);

} // namespace ClipProgram
