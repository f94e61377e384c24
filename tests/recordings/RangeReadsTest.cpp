#include "recordings/RangeReads.h"

#include "platform/RegularFile.h"
#include "tests/support/core/CameraFileWriter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Each range must hold exactly the file's bytes at its offset, zeros past the
// end, however many ranges there are: read one by one below kFewest, through
// the ring above it and across several of its batches.
TEST(RangeReads, EachRangeHoldsTheFilesBytesAndZerosPastTheEnd) {
    QTemporaryDir dir;
    const QString path = dir.filePath("DATA.BIN");
    QByteArray bytes(300 * 1024, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 131 + i / 251) & 0xff);
    ASSERT_TRUE(CameraFile::WriteFile(path, bytes));
    const uint64_t length = uint64_t(bytes.size());

    // Inside, at the very start, straddling the end, just past it, far past
    // it, and empty.
    const std::vector<std::pair<uint64_t, size_t>> kinds = {
        {5000, 88}, {0, 1}, {length - 40, 88}, {length, 88}, {1ull << 40, 88}, {700, 0}};
    for (const size_t count : {size_t(3), RangeReads::kFewest, size_t(1300)}) {
        std::vector<std::pair<uint64_t, size_t>> wanted;
        for (size_t i = 0; i < count; ++i) {
            const auto& kind = kinds[i % kinds.size()];
            // Most ranges inside, each at an offset of its own.
            wanted.push_back(
                i % 3 ? std::make_pair(uint64_t(i * 227 % (length - 300)), 20 + i % 250) : kind);
        }
        std::vector<std::vector<uint8_t>> buffers;
        std::vector<RangeReads::Range> ranges;
        for (const auto& [offset, size] : wanted)
            buffers.emplace_back(size, uint8_t(0xee)); // not zero: the tail must be cleared
        for (size_t i = 0; i < count; ++i)
            ranges.push_back({wanted[i].first, wanted[i].second, buffers[i].data()});

        uint64_t size = 0;
        const int fd = RegularFile::OpenReadOnly(QFile::encodeName(path), &size);
        ASSERT_GE(fd, 0);
        RangeReads::Read(fd, size, ranges);
        ::close(fd);

        for (size_t i = 0; i < count; ++i) {
            const auto& [offset, n] = wanted[i];
            for (size_t b = 0; b < n; ++b) {
                const uint8_t expected =
                    offset + b < length ? uint8_t(bytes[qsizetype(offset + b)]) : 0;
                ASSERT_EQ(buffers[i][b], expected)
                    << count << " ranges: range " << i << " at " << offset << ", byte " << b;
            }
        }
    }
}

} // namespace
