// The scan's look-ahead: steps run in their order, a fixed number behind the
// files asked for, and asking never blocks on what is not a regular file.
#include "recordings/ReadAhead.h"

#include "tests/support/core/ScratchDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace {

TEST(ReadAhead, StepsRunInOrderTheirDistanceBehind) {
    for (const size_t distance : {size_t(0), size_t(1), size_t(3), size_t(16)}) {
        std::vector<int> ran;
        {
            ReadAhead ahead(distance);
            for (int i = 0; i < 10; ++i) {
                ahead.Add(QString(), [&ran, i] { ran.push_back(i); });
                const int due = i + 1 - int(distance);
                ASSERT_EQ(int(ran.size()), std::max(0, due)) << "distance " << distance;
            }
            ahead.Finish();
            ahead.Finish(); // nothing runs twice
        }
        std::vector<int> expected(10);
        for (int i = 0; i < 10; ++i)
            expected[size_t(i)] = i;
        EXPECT_EQ(ran, expected) << "distance " << distance;
    }
}

TEST(ReadAhead, WhatIsLeftRunsWhenItGoes) {
    int ran = 0;
    {
        ReadAhead ahead(4);
        ahead.Add(QString(), [&ran] { ++ran; });
        ahead.Add(QString(), [&ran] { ++ran; });
        EXPECT_EQ(ran, 0);
    }
    EXPECT_EQ(ran, 2);
}

TEST(ReadAhead, AskingForAFifoOrAMissingFileDoesNotWait) {
    ScratchDir dir;
    const QString fifo = dir.Root() + "FILE0001.MOV";
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString file = dir.Write("FILE0002.MOV", QByteArray(100000, 'x'));
    int ran = 0;
    ReadAhead ahead(1);
    // A FIFO opened for reading would wait here for a writer.
    for (const QString& path : {fifo, dir.Root() + "ABSENT.MOV", file, dir.path()})
        ahead.Add(path, [&ran] { ++ran; });
    ahead.Finish();
    EXPECT_EQ(ran, 4);
}

// Each step finds the file asked for with it open, so that its parse reads
// it without opening it again; it is closed once the step is done.
TEST(ReadAhead, AStepFindsItsOwnFileOpenUntilItReturns) {
    ScratchDir dir;
    const QString files[] = {dir.Write("FILE0001.MOV", QByteArray(100000, 'a')),
                             dir.Write("FILE0002.MOV", "bb"), dir.Root() + "ABSENT.MOV", QString()};
    std::vector<int> seen;
    ReadAhead ahead(2);
    for (const QString& path : files)
        ahead.Add(path, [&ahead, &seen, path] {
            uint64_t size = 0;
            const int fd = ahead.StepFile(&size);
            seen.push_back(fd);
            struct stat opened {
            }, named{};
            if (fd < 0) {
                EXPECT_NE(::stat(QFile::encodeName(path).constData(), &named), 0)
                    << path.toStdString();
                return;
            }
            ASSERT_EQ(::fstat(fd, &opened), 0);
            ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &named), 0);
            EXPECT_EQ(opened.st_ino, named.st_ino) << path.toStdString();
            EXPECT_EQ(size, uint64_t(named.st_size));
        });
    ahead.Finish();
    uint64_t size = 0;
    EXPECT_EQ(ahead.StepFile(&size), -1); // between steps
    ASSERT_EQ(seen.size(), 4u);
    for (const int fd : seen) {
        if (fd >= 0) {
            EXPECT_EQ(::fcntl(fd, F_GETFD), -1) << "left open: " << fd;
        }
    }
    EXPECT_GE(seen[0], 0);
    EXPECT_GE(seen[1], 0);
    EXPECT_EQ(seen[2], -1);
    EXPECT_EQ(seen[3], -1);
}

} // namespace
