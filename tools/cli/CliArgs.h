#pragma once
// The walk every halvex-cli command makes over its arguments.
#include <QString>
#include <QStringList>
#include <functional>

namespace CliArgs {

// Handles one argument; returns -1 to go on, else the exit code to stop with.
using Handler = std::function<int(const QString& arg)>;

// Walks the arguments in order. "--" ends the options: every later argument
// is positional. Before it, "--help" and "-h" print the usage and stop with
// kDone; an argument `isOption` calls an option goes to `option`, which may
// take the next one as its value through `*next` (the index of that next
// argument, advanced past what it takes); every other argument is
// positional. Returns -1 when the walk is through, else the first exit code
// a handler or the usage gave.
int Walk(const QStringList& args, const std::function<bool(const QString&)>& isOption,
         const std::function<int(const QString& arg, int* next)>& option, const Handler& positional,
         const std::function<void()>& printUsage);

// A group as 'scan' lists it ("G2") or as its number ("2").
enum class GroupText { Read, NotAGroup, TooLarge };
GroupText ParseGroup(const QString& text, int* group);

// The program's arguments as bytes, kept for ArrivedAsUtf8.
void KeepRawArguments(int argc, char** argv);
// Whether an argument came as valid UTF-8: the decoded text shows every
// other byte as U+FFFD, which as a file name would be a different name.
bool ArrivedAsUtf8(const QString& argument);

} // namespace CliArgs
