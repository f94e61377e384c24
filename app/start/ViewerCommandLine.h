#pragma once
#include <QString>
#include <QStringList>

// The viewer's own command line: an optional folder to open, --verbose,
// --help and --version. Qt strips its options (-style, -platform, ...) before the
// arguments reach Parse; whatever follows --webEngineArgs is the browser's.
namespace ViewerCommandLine {

struct Parsed {
    enum Kind { Run, Help, Version, Error } kind = Run;
    QString folder; // Run: the folder named, "" when none
    QString error;  // Error: what was wrong
    bool verbose = false;
};

// arguments with the program name first.
Parsed Parse(const QStringList& arguments);

// Whether --verbose is among the arguments, read before Qt has taken its
// own options out of them.
bool AsksVerbose(const QStringList& arguments);

QString Usage(const QString& program);
QString VersionText(const QString& version);

} // namespace ViewerCommandLine
