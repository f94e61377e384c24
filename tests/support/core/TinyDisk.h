#pragma once
// A real, tiny file system (a 1500 KiB tmpfs) for tests of full-disk
// failures; unmounted again when the test ends. Mounting needs root: where it
// is not permitted, Mounted() is false and the test should skip.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QString>
#include <sys/mount.h>

class TinyDisk {
  public:
    TinyDisk() {
        static int serial = 0;
        path_ = QStringLiteral("/tmp/halvex-tiny-%1-%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(serial++);
        QDir().mkpath(path_);
        mounted_ =
            ::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", 0, "size=1500k") == 0;
    }
    ~TinyDisk() {
        if (mounted_)
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
        QDir().rmdir(path_);
    }
    TinyDisk(const TinyDisk&) = delete;
    TinyDisk& operator=(const TinyDisk&) = delete;

    bool Mounted() const { return mounted_; }
    const QString& path() const { return path_; }

    // Like a card with its write-protect switch on (or off again).
    bool Remount(bool readOnly) const {
        return ::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs",
                       MS_REMOUNT | (readOnly ? MS_RDONLY : 0), "size=1500k") == 0;
    }
    // Fills every byte left with a file of its own.
    void Fill() const {
        QFile filler(path_ + "/filler");
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size()) {
        }
        const QByteArray byte(1, 'f');
        while (filler.write(byte) == 1) {
        }
    }
    // Every name in the folder (to show that no temporary file is left).
    QStringList Names(const QString& relative = QString()) const {
        return QDir(path_ + "/" + relative)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

  private:
    QString path_;
    bool mounted_ = false;
};

#define SKIP_UNLESS_MOUNTED(disk)                                                                  \
    if (!(disk).Mounted())                                                                         \
    GTEST_SKIP() << "cannot mount a tmpfs here (needs root)"
