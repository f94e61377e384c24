#include "tests/support/core/ProgramRun.h"

#include <QProcess>
#include <gtest/gtest.h>

ProgramRun RunProgram(const QString& program, const QStringList& args,
                      const QProcessEnvironment& env, const QString& outputFile) {
    QProcess p;
    p.setProcessEnvironment(env);
    if (!outputFile.isEmpty())
        p.setStandardOutputFile(outputFile);
    p.start(program, args);
    ProgramRun run;
    if (!p.waitForStarted(10000)) {
        ADD_FAILURE() << program.toStdString() << " did not start";
        return run;
    }
    p.waitForFinished(60000);
    run.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}
