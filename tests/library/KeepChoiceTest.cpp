// Which recordings each keep mode leaves out, on moments described by value.
#include "library/KeepChoice.h"
#include "library/LibraryLayout.h"
#include "tests/support/core/ScopedTimeZone.h"

#include <gtest/gtest.h>

namespace {

constexpr int64_t kMinute = 60 * 1000;

// A minute-long recording starting `minute` minutes into the day.
KeepCandidate At(int minute, bool moved, bool event = false, bool locked = false,
                 bool hasFix = true) {
    KeepCandidate c;
    c.startUtcMs = 1700000000000 + minute * kMinute;
    c.durationMs = uint32_t(kMinute);
    c.moved = moved;
    c.event = event;
    c.locked = locked;
    c.hasFix = hasFix;
    return c;
}

TEST(KeepChoice, EachModeLeavesOutWhatItSays) {
    const LeftOut kNo = LeftOut::No, kParked = LeftOut::Parked, kFar = LeftOut::NoEvent;
    const std::vector<KeepCandidate> card = {
        At(0, false),                      // parked
        At(1, false, false, false, false), // no fix at all: nothing shows it stood
        At(9, true),                       // driving, two minutes before the event
        At(11, true),                      // driving, right before it
        At(12, true, true),                // the event
        At(13, true),                      // right after it
        At(20, false, false, true),        // parked but locked
        At(21, false),                     // parked, right after the locked one
        At(40, true),                      // a drive far from anything
    };
    struct Case {
        KeepMode mode;
        std::vector<LeftOut> expected;
    };
    const Case cases[] = {
        {KeepMode::All, {kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo, kNo}},
        {KeepMode::Drives, {kParked, kNo, kNo, kNo, kNo, kNo, kNo, kParked, kNo}},
        {KeepMode::Events, {kFar, kFar, kFar, kNo, kNo, kNo, kNo, kNo, kFar}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChooseKept(card, c.mode), c.expected) << int(c.mode);
}

TEST(KeepChoice, FrontAndRearOfOneMomentAreJudgedTogether) {
    // The rear felt the jolt, the front saw no movement: both are kept.
    KeepCandidate front = At(0, false);
    KeepCandidate rear = At(0, false, true);
    rear.hasFix = false;
    const std::vector<KeepCandidate> pair = {front, rear, At(5, false), At(5, false)};
    EXPECT_EQ(ChooseKept(pair, KeepMode::Drives),
              (std::vector<LeftOut>{LeftOut::No, LeftOut::No, LeftOut::Parked, LeftOut::Parked}));
    EXPECT_EQ(ChooseKept(pair, KeepMode::Events),
              (std::vector<LeftOut>{LeftOut::No, LeftOut::No, LeftOut::NoEvent, LeftOut::NoEvent}));
}

TEST(LibraryLayout, DayFoldersAndNamesACardMayHand) {
    ScopedTimeZone zone("JST-9");
    // 2024-03-09 20:00 UTC is the 10th in Tokyo.
    EXPECT_EQ(LibraryLayout::DayFolder(1710014400000, 0), "2024/2024-03-10");
    EXPECT_EQ(LibraryLayout::DayFolder(0, 1710014400), "2024/2024-03-10");
    struct Case {
        const char* name;
        bool safe;
    };
    const Case cases[] = {{"FILE0001.MOV", true}, {"FILE..MOV", true}, {"..", false},
                          {".", false},           {"", false},         {"a/b.MOV", false},
                          {"../FILE.MOV", false}, {".hidden", false},  {"FILE\n.MOV", false},
                          {"a\\b", false}};
    for (const Case& c : cases)
        EXPECT_EQ(LibraryLayout::IsSafeName(QString::fromUtf8(c.name)), c.safe) << c.name;
}

} // namespace
