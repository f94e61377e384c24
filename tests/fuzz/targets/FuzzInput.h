#pragma once
// The parsers read files by path, so each input is written to a file of this
// process first (in memory where /dev/shm exists).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

inline QString FuzzInputPath() {
    static const QString path = [] {
        const QString dir = QDir("/dev/shm").exists() ? "/dev/shm" : QDir::tempPath();
        return dir + "/halvex-fuzz-" + QString::number(getpid()) + ".bin";
    }();
    return path;
}

inline const QString& WriteFuzzInput(const uint8_t* data, size_t size) {
    static const QString& path = FuzzInputPath();
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        f.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        std::abort();
    return path;
}

// Stops the run with a crash report when a property does not hold.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition))                                                                          \
            __builtin_trap();                                                                      \
    } while (0)
