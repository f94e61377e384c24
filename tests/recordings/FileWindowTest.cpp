// The windowed reader under the parsers: the bytes it hands out are the
// file's, wherever the windows happen to lie.
#include "recordings/FileWindow.h"

#include "tests/support/core/ScratchDir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace {

QByteArray Pattern(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 251) & 0xFF);
    return bytes;
}

TEST(FileWindow, ReadsGiveTheFileBytesAndZerosPastItsEnd) {
    ScratchDir dir;
    const int size = int(3 * FileWindow::kBlock + 100);
    const QByteArray file = Pattern(size);
    const QString path = dir.Write("BYTES.BIN", file);

    struct Read {
        const char* name;
        uint64_t pos;
        size_t n;
    };
    const uint64_t block = FileWindow::kBlock;
    // In order: each read's place relative to the windows the reads before
    // it left behind.
    const Read reads[] = {
        {"head", 0, 8},
        {"inside the head window", 100, 200},
        {"ending on the window's last byte", block - 8, 8},
        {"one byte over the window's end", block - 8, 9},
        {"back in the first window", 16, 16},
        {"at the end, cut short", uint64_t(size) - 4, 16},
        {"straddling the two windows", 2 * block - 2, 4},
        {"bulk, past both windows", 10, 2 * FileWindow::kBlock},
        {"wholly past the end", uint64_t(size) + 10, 8},
        {"at the very end", uint64_t(size), 1},
        {"empty", 5, 0},
    };
    FileWindow window;
    ASSERT_TRUE(window.Open(path));
    EXPECT_EQ(window.Length(), uint64_t(size));
    for (const Read& r : reads) {
        std::vector<uint8_t> got(r.n + 1, 0xEE);
        const size_t fromFile = window.ReadAt(r.pos, got.data(), r.n);
        const size_t expected = r.pos < uint64_t(size) ? std::min<size_t>(r.n, size - r.pos) : 0;
        EXPECT_EQ(fromFile, expected) << r.name;
        for (size_t i = 0; i < r.n; ++i) {
            const uint8_t want = i < expected ? uint8_t(file[int(r.pos + i)]) : 0;
            ASSERT_EQ(got[i], want) << r.name << ", byte " << i;
        }
        EXPECT_EQ(got[r.n], 0xEE) << r.name << ": nothing written past the buffer";
    }
    EXPECT_LE(window.BytesRead(), uint64_t(size) + 3 * FileWindow::kBlock);
}

TEST(FileWindow, HoldReadsARangeOnceAndNothingTooLarge) {
    ScratchDir dir;
    const QByteArray file = Pattern(int(5 * FileWindow::kBlock));
    const QString path = dir.Write("HOLD.BIN", file);
    FileWindow window;
    ASSERT_TRUE(window.Open(path));

    window.Hold(1000, 3 * FileWindow::kBlock);
    EXPECT_EQ(window.ReadCount(), 1);
    uint8_t b[64];
    for (uint64_t pos = 1000; pos + sizeof b <= 1000 + 3 * FileWindow::kBlock; pos += 4093)
        window.ReadAt(pos, b, sizeof b);
    EXPECT_EQ(window.ReadCount(), 1) << "served from the held range";
    window.Hold(1000, 100);
    EXPECT_EQ(window.ReadCount(), 1) << "held already";

    window.Hold(0, FileWindow::kLargestHold + 1);
    EXPECT_EQ(window.ReadCount(), 1) << "too large a range is read as asked for";
    window.Hold(uint64_t(file.size()), 10);
    EXPECT_EQ(window.ReadCount(), 1) << "nothing past the end";
}

TEST(FileWindow, OnlyRegularFilesOpen) {
    ScratchDir dir;
    const QString fifo = dir.Root() + "PIPE.MOV";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    FileWindow window;
    EXPECT_FALSE(window.Open(fifo)) << "and without waiting for a writer";
    EXPECT_FALSE(window.Open(dir.path()));
    EXPECT_FALSE(window.Open(dir.Root() + "ABSENT.MOV"));
    uint8_t b[4] = {1, 2, 3, 4};
    EXPECT_EQ(window.ReadAt(0, b, 4), 0u);
    EXPECT_EQ(b[0] | b[1] | b[2] | b[3], 0);
}

} // namespace
