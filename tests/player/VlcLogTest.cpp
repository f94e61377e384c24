#include "player/VlcLog.h"

#include <gtest/gtest.h>

namespace {

TEST(VlcLog, ErrorsReachTheTerminalOncePerTextAndTheRestAreDiagnostics) {
    VlcLog log;
    const struct {
        int level;
        const char* line;
        bool toTerminal;
    } cases[] = {
        {VlcLog::Debug, "libvlc main input: creating demux", false},
        {VlcLog::Notice, "libvlc main input: notice", false},
        {VlcLog::Warning, "libvlc mp4 stream: unknown box type gps0", false},
        {VlcLog::Error, "libvlc main decoder: failed to create audio output", true},
        {VlcLog::Error, "libvlc main decoder: failed to create audio output", false},
        {VlcLog::Error, "libvlc main video output: picture 120 ms late at 0x7f12", true},
        {VlcLog::Error, "libvlc main video output: picture 80 ms late at 0x7f98", false},
        {VlcLog::Error, "libvlc alsa audio output: cannot open ALSA device", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(log.ToTerminal(c.level, QString::fromLatin1(c.line)), c.toTerminal) << c.line;
}

} // namespace
