#include "tests/support/core/MeasuredRun.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

QByteArray ReadAll(QTemporaryFile& file) {
    file.seek(0);
    return file.readAll();
}

} // namespace

MeasuredRun RunMeasured(const QString& program, const QStringList& args,
                        const QProcessEnvironment& env, int timeoutMs) {
    MeasuredRun run;
    QTemporaryFile out, err;
    if (!out.open() || !err.open())
        return run;
    // Everything the child needs is made before the fork.
    std::vector<QByteArray> argBytes{QFile::encodeName(program)};
    for (const QString& a : args)
        argBytes.push_back(a.toLocal8Bit());
    std::vector<QByteArray> envBytes;
    for (const QString& e : env.toStringList())
        envBytes.push_back(e.toLocal8Bit());
    std::vector<char*> argv, envp;
    for (QByteArray& a : argBytes)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (QByteArray& e : envBytes)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    const int outFd = out.handle(), errFd = err.handle();

    const pid_t pid = ::fork();
    if (pid < 0)
        return run;
    if (pid == 0) {
        const int devNull = ::open("/dev/null", O_RDONLY);
        ::dup2(devNull, 0);
        ::dup2(outFd, 1);
        ::dup2(errFd, 2);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    struct rusage usage {};
    for (;;) {
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (done < 0)
            return run;
        if (clock.elapsed() > timeoutMs && !run.timedOut) {
            run.timedOut = true;
            ::kill(pid, SIGKILL);
        }
        ::usleep(10000);
    }
    run.exitCode = !run.timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.maxRssKiB = usage.ru_maxrss;
    run.out = ReadAll(out);
    run.err = ReadAll(err);
    return run;
}
