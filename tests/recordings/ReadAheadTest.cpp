// The scan's look-ahead: steps run in their order, a fixed number behind the
// files asked for, and asking never blocks on what is not a regular file.
#include "recordings/ReadAhead.h"

#include "tests/support/core/ScratchDir.h"

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

} // namespace
