#pragma once
// A real FAT file system the way a memory card is mounted without the kernel's
// driver: an image made with mkfs.vfat, mounted through FUSE with fusefat.
// Names that differ only in case are one file, and there are no hard links,
// no O_TMPFILE and no renameat2 flags. Unmounted and removed when the test
// ends. Only a machine without FUSE (/dev/fuse missing) may skip; a missing
// mkfs.vfat or fusefat is a fault of the set-up (scripts/setup installs them).
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QThread>
#include <sys/mount.h>

class FatCard {
  public:
    explicit FatCard(int megabytes = 48) {
        static int serial = 0;
        path_ = QStringLiteral("/tmp/halvex-fat-%1-%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(serial++);
        image_ = path_ + ".img";
        if (!QFileInfo::exists("/dev/fuse")) {
            why_ = "FUSE is unavailable here (/dev/fuse missing): no FAT card to mount";
            skip_ = true;
            return;
        }
        QFile image(image_);
        if (!image.open(QIODevice::WriteOnly) || !image.resize(qint64(megabytes) << 20)) {
            why_ = "cannot make the image " + image_;
            return;
        }
        image.close();
        QDir().mkpath(path_);
        if (!Run("mkfs.vfat", {"-n", "CARD", image_}) ||
            !Run("fusefat", {"-o", "rw+", image_, path_}))
            return;
        mounted_ = WaitMounted();
        if (!mounted_)
            why_ = "fusefat did not mount " + path_;
    }
    ~FatCard() {
        if (mounted_ && !Run("fusermount", {"-u", path_}) && !Run("fusermount3", {"-u", path_}))
            ::umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
        QDir().rmdir(path_);
        QFile::remove(image_);
    }
    FatCard(const FatCard&) = delete;
    FatCard& operator=(const FatCard&) = delete;

    bool Mounted() const { return mounted_; }
    bool Skippable() const { return skip_; }
    const QString& Why() const { return why_; }
    const QString& path() const { return path_; }
    QString Root() const { return path_ + "/"; }

    // Every name in a folder of the card, hidden ones too.
    QStringList Names(const QString& relative = QString()) const {
        return QDir(path_ + "/" + relative)
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }

  private:
    bool Run(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        if (!p.waitForStarted(10000)) {
            why_ = program + " is not installed (scripts/setup installs it)";
            return false;
        }
        p.waitForFinished(30000);
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            why_ = program + " failed: " + QString::fromLocal8Bit(p.readAllStandardError());
            return false;
        }
        return true;
    }
    bool WaitMounted() const {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 10000) {
            QFile mounts("/proc/self/mounts");
            if (mounts.open(QIODevice::ReadOnly) &&
                mounts.readAll().contains(" " + QFile::encodeName(path_) + " fuse"))
                return true;
            QThread::msleep(20);
        }
        return false;
    }

    QString path_, image_, why_;
    bool mounted_ = false;
    bool skip_ = false;
};

#define SKIP_OR_FAIL_UNLESS_FAT(card)                                                              \
    if (!(card).Mounted()) {                                                                       \
        if ((card).Skippable())                                                                    \
            GTEST_SKIP() << (card).Why().toStdString();                                            \
        FAIL() << (card).Why().toStdString();                                                      \
    }
