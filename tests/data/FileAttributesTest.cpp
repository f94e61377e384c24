#include "platform/FileAttributes.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

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

} // namespace
