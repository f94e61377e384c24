// How long a card lasts at its own bytes per minute.
#include "cardindex/CardLifeMath.h"

#include "tests/cardindex/IndexFixture.h"

#include <QFile>

namespace {

using namespace indextest;

struct LifeCase {
    const char* name;
    uint64_t bytes, lockedBytes, recordedMs, freeBytes;
    double hours, locked, perMinute, left;
};

TEST(CardLife, FromBytesAndMinutes) {
    const LifeCase cases[] = {
        {"an hour of a pair at 100 MB a minute, 3 GB free", 6000000000, 1500000000, 3600000,
         3000000000, 1, 0.25, 100000000, 0.5},
        {"a full card has no time left", 6000000000, 0, 3600000, 0, 1, 0, 100000000, 0},
        {"an empty card cannot say its rate", 0, 0, 0, 5000000000, 0, 0, 0, 0},
    };
    for (const LifeCase& c : cases) {
        const CardLife life = CardLifeOf(c.bytes, c.lockedBytes, c.recordedMs, c.freeBytes);
        EXPECT_DOUBLE_EQ(life.recordedHours, c.hours) << c.name;
        EXPECT_DOUBLE_EQ(life.lockedShare, c.locked) << c.name;
        EXPECT_DOUBLE_EQ(life.bytesPerMinute, c.perMinute) << c.name;
        EXPECT_DOUBLE_EQ(life.hoursLeft, c.left) << c.name;
        EXPECT_EQ(life.freeBytes, c.freeBytes) << c.name;
    }
}

class CardLifeOfACard : public IndexTest {};

// A pair of 20 s and a locked front alone of 10 s: 30 s recorded, the
// locked file's bytes of all three, and the free space of the card's disk.
TEST_F(CardLifeOfACard, APairCountsItsMinutesOnce) {
    const auto fixes = StraightFixes(35.0, 139.0, 0, std::vector<int>(20, 30));
    WritePair(Recipe(At(10, 9, 0, 0), fixes, QuietSamples(20, 10)), 70);
    auto locked =
        Recipe(At(10, 9, 0, 20), std::vector<synth::Fix>(fixes.begin(), fixes.begin() + 10),
               QuietSamples(10, 10));
    locked.lock = synth::Lock::Hand;
    const QString lockedPath = WritePair(locked, 72, true, false);
    CardIndex index;
    ASSERT_TRUE(Index(&index));
    uint64_t all = 0;
    for (const IndexedRecording& r : index.Recordings())
        all += r.fileSize;
    const CardLife life = index.Life(card.path());
    EXPECT_DOUBLE_EQ(life.recordedHours, 30.0 / 3600);
    EXPECT_DOUBLE_EQ(life.lockedShare, double(QFileInfo(lockedPath).size()) / double(all));
    EXPECT_GT(life.freeBytes, 0u);
    EXPECT_NEAR(life.hoursLeft, double(life.freeBytes) / (double(all) / 0.5) / 60, 1e-9);
}

} // namespace
