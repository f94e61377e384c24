// Every file the program writes on a disk that fills up: the write is
// reported failed and what was there before stays whole.
#include "platform/CheckedFileWriter.h"
#include "platform/IniFile.h"
#include "recordings/RecordingCatalog.h"

#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/SmallCard.h"
#include "tests/support/core/TinyDisk.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

TEST(CheckedFileWriter, WritesWholeFilesAndRefusesShortOnes) {
    TinyDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    const QString target = disk.path() + "/target.bin";
    ASSERT_TRUE(CheckedFileWriter::WriteFile(target, "old"));
    EXPECT_EQ(Contents(target), "old");

    // Bigger than the disk: failed, old file kept, no temporary file left.
    QString error;
    EXPECT_FALSE(CheckedFileWriter::WriteFile(target, QByteArray(2 << 20, 'x'), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(disk.Names(), QStringList{"target.bin"});

    // A size that does not match what was written is refused as well.
    CheckedFileWriter writer(target);
    ASSERT_TRUE(writer.Open());
    ASSERT_TRUE(writer.Write("abc"));
    EXPECT_FALSE(writer.Commit(4));
    EXPECT_EQ(Contents(target), "old");
    EXPECT_EQ(disk.Names(), QStringList{"target.bin"});
}

// The few bytes of a settings write stay in a buffer until the file is
// closed; on a full disk that last write is the one that fails.
TEST(CheckedFileWriter, SettingsWriteOnAFullDiskKeepsTheOldFile) {
    TinyDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    const QString ini = disk.path() + "/Halvex.ini";
    ASSERT_TRUE(IniFile::WriteString(ini, "WINPOS", "LEFT", "10"));
    const QByteArray before = Contents(ini);
    disk.Fill();

    EXPECT_FALSE(IniFile::WriteString(ini, "WINPOS", "TOP", "20"));
    EXPECT_EQ(Contents(ini), before);
    EXPECT_EQ(IniFile::ReadInt(ini, "WINPOS", "LEFT", 0), 10);
    EXPECT_EQ(disk.Names(), (QStringList{"Halvex.ini", "filler"}));
}

TEST(CheckedFileWriter, KmlExportOnAFullDiskFails) {
    TinyDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    RecordingCatalog catalog;
    RecordingFile f;
    f.fileName = "FILE0001.MOV";
    CatalogStaging::Files(catalog).push_back(f);
    CatalogStaging::SetCurrentFile(catalog, 0);
    QString name;
    ASSERT_TRUE(catalog.ExportKml(disk.path(), &name));
    const QByteArray before = Contents(name);
    disk.Fill();

    EXPECT_FALSE(catalog.ExportKml(disk.path(), &name));
    EXPECT_EQ(Contents(name), before);
}

TEST(CheckedFileWriter, SaveOntoASmallDiskReportsTheCopyAndLeavesNoFile) {
    TinyDisk disk;
    SKIP_UNLESS_MOUNTED(disk);
    SmallCard card;
    RecordingCatalog catalog;
    card.Build(catalog, {2});
    // A recording bigger than the disk, and a small one that fits.
    card.dir.Write("DCIM/MOVIE/FILE0001.MOV", QByteArray(4800 * 1024, 'r'));
    card.groups.chosen = {0};
    QStringList notCopied;

    EXPECT_TRUE(catalog.SaveChosen(disk.path(), {}, &notCopied));
    EXPECT_EQ(notCopied, QStringList{card.PathOf(1)});
    EXPECT_EQ(disk.Names("DCIM/MOVIE"), QStringList{"FILE0002.MOV"});
    EXPECT_EQ(Contents(disk.path() + "/DCIM/MOVIE/FILE0002.MOV"), "FILE0002");
}

} // namespace
