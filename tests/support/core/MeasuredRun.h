#pragma once
// Runs a program of the build with a time limit and measures the most
// memory it held, for checks that it neither hangs nor grows without bound.
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

struct MeasuredRun {
    int exitCode = -1; // -1 when it did not start, crashed or was stopped
    bool timedOut = false;
    long maxRssKiB = 0; // its peak resident memory
    QByteArray out;
    QByteArray err;
};

// Stops the program (SIGKILL) once `timeoutMs` have passed.
MeasuredRun RunMeasured(const QString& program, const QStringList& args,
                        const QProcessEnvironment& env, int timeoutMs);
