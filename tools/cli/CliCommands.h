#pragma once
// The commands of halvex-cli. Each returns the exit code: 0 done, 1 the
// input is not a recording or cannot be read, 2 wrong usage.
#include "recordings/RecordingInfo.h"

#include <QStringList>
#include <cstdio>

namespace CliCommands {

enum ExitCode { kDone = 0, kBadInput = 1, kBadUsage = 2 };

int Run(const QStringList& arguments); // without the program name
// A command's exit code once its results are flushed, or kBadInput after
// saying why they never reached their file (a full disk, a closed pipe).
int Finish(int code);

// Parses one AVI or MOV file; 0 when it is a recording of the camera.
int ParseRecording(const QString& path, RecordingInfo* info);

// A recording named on the command line, parsed as above and placed as a
// listed file of its folder; -1, or the exit code after saying why not.
int ReadNamedRecording(const QString& path, RecordingFile* file);

// Where results go (standard output unless set).
void SetOutput(FILE* out);

} // namespace CliCommands
