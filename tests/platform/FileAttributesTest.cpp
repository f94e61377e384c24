#include "platform/FileAttributes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString MakeFile(const QTemporaryDir& dir, const QString& name) {
    QFile f(dir.path() + "/" + name);
    f.open(QIODevice::WriteOnly);
    f.write("x");
    return f.fileName();
}

TEST(FileAttributes, MissingFileHasNone) {
    EXPECT_FALSE(FileAttributes::Get("/nonexistent/file.MOV").has_value());
    EXPECT_FALSE(FileAttributes::Set("/nonexistent/file.MOV", FileAttributes::ReadOnly));
}

TEST(FileAttributes, NewFileIsArchivedAndWritable) {
    QTemporaryDir dir;
    const auto a = FileAttributes::Get(MakeFile(dir, "A.MOV"));
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(*a, unsigned(FileAttributes::Archive));
    EXPECT_TRUE(*FileAttributes::Get(MakeFile(dir, ".hidden")) & FileAttributes::Hidden);
}

TEST(FileAttributes, LockAndUnlockRoundTrip) {
    QTemporaryDir dir;
    const QString path = MakeFile(dir, "A.MOV");
    struct stat st {};

    ASSERT_TRUE(FileAttributes::Set(path, FileAttributes::ReadOnly));
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0222, 0u) << "locking removes every write bit";
    const unsigned locked = *FileAttributes::Get(path);
    EXPECT_TRUE(locked & FileAttributes::ReadOnly);

    ASSERT_TRUE(FileAttributes::Set(path, FileAttributes::Archive));
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IWUSR) << "unlocking gives back the owner's write bit";
    EXPECT_EQ(*FileAttributes::Get(path), unsigned(FileAttributes::Archive));
}

TEST(FileAttributes, ArchiveCanBeClearedWhereExtendedAttributesExist) {
    QTemporaryDir dir;
    const QString path = MakeFile(dir, "A.MOV");
    if (!FileAttributes::Set(path, FileAttributes::ReadOnly))
        GTEST_FAIL() << "cannot set attributes";
    const unsigned a = *FileAttributes::Get(path);
    // Read-only without archive is how the camera marks an event-locked file.
    EXPECT_EQ(a & (FileAttributes::ReadOnly | FileAttributes::Archive),
              unsigned(FileAttributes::ReadOnly));
}

// The scan's reader stops opening files once their file system has said it
// keeps no vfat attributes; what it reads must not change for that.
TEST(FileAttributes, TheScansReaderAnswersAsGetForEachFile) {
    QTemporaryDir dir;
    const QString locked = MakeFile(dir, "LOCKED.MOV");
    ASSERT_TRUE(FileAttributes::Set(locked, FileAttributes::ReadOnly));
    const QString system = MakeFile(dir, "SYSTEM.MOV");
    FileAttributes::Set(system, FileAttributes::System | FileAttributes::Archive);
    ASSERT_TRUE(QDir(dir.path()).mkdir("FOLDER"));
    const QString paths[] = {MakeFile(dir, "A.MOV"),
                             locked,
                             system,
                             MakeFile(dir, ".hidden"),
                             dir.filePath("FOLDER"),
                             dir.filePath("MISSING.MOV")};
    FileAttributes::Reader reader;
    for (int pass = 0; pass < 2; ++pass)
        for (const QString& path : paths)
            EXPECT_EQ(reader.Get(path), FileAttributes::Get(path)) << path.toStdString();
    EXPECT_TRUE(*reader.Get(locked) & FileAttributes::ReadOnly);
    // The folder walk asks through the descriptor it opened.
    for (const QString& path : paths) {
        const QByteArray native = QFile::encodeName(path);
        const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue; // the missing file
        struct stat st {};
        ASSERT_EQ(::fstat(fd, &st), 0);
        EXPECT_EQ(reader.OfOpen(fd, st, QFile::encodeName(QFileInfo(path).fileName())),
                  *FileAttributes::Get(path))
            << path.toStdString();
        ::close(fd);
    }
}

// A listed file that has become a FIFO: reading or changing its attributes
// must neither wait for a writer nor pretend that a lock was set.
TEST(FileAttributes, AFifoIsNeverOpened) {
    QTemporaryDir dir;
    const QString path = dir.filePath("FILE0001.MOV");
    const QByteArray native = QFile::encodeName(path);
    ASSERT_EQ(::mkfifo(native.constData(), 0644), 0);
    auto work = std::async(std::launch::async, [&] {
        const auto attributes = FileAttributes::Get(path);
        const bool locked = FileAttributes::Set(path, FileAttributes::ReadOnly);
        return std::make_pair(attributes, locked);
    });
    if (work.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
        // Give the blocked open its writer so that the test can end.
        const int writer = ::open(native.constData(), O_WRONLY | O_NONBLOCK);
        work.wait();
        ::close(writer);
        FAIL() << "opening the FIFO blocked";
    }
    const auto [attributes, locked] = work.get();
    EXPECT_TRUE(attributes.has_value());
    EXPECT_FALSE(locked);
}

} // namespace
