#pragma once
// Runs a program of the build (or of the system) as a user would and keeps
// what it printed.
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct ProgramRun {
    int exitCode = -1; // -1 when it did not start or crashed
    QByteArray out;
    QByteArray err;
};

// outputFile, when given, takes the standard output instead of `out`.
ProgramRun RunProgram(const QString& program, const QStringList& args,
                      const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                      const QString& outputFile = QString());
