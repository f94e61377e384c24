#include "recordings/CameraPairing.h"

#include "tests/support/core/ScratchDir.h"

#include <gtest/gtest.h>

namespace {

TEST(CameraPairing, FrontNames) {
    const struct {
        const char* name;
        bool front;
    } cases[] = {
        {"front0001.MOV", true},  {"12340001F.MOV", true},  {"12340001R.MOV", false},
        {"12340001f.MOV", false}, {"FRONT0001.MOV", false}, {"12340001F.mov", false},
        {"FILE0010.MOV", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsFrontCameraName(c.name), c.front) << c.name;
}

TEST(CameraPairing, RearPaths) {
    const struct {
        const char* path;
        bool rear;
    } cases[] = {
        {"/card/back/FILE0011_b.MOV", true},
        {"/card/DCIM/12340001R.MOV", true},
        {"/card/DCIM/12340001R.MOV.old", true}, // "R.MOV" anywhere
        {"/card/FILE000b.MOV", true},           // the character before the dot counts
        {"/card/back/FILE0011.MOV", false},     // a "b" before that does not
        {"/card/FILE0011.mob", true},
        {"/card/FILE0011_B.MOV", false},
        {"/card/nodot_b", false},
        {".b", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsRearCameraPath(c.path), c.rear) << c.path;
}

TEST(CameraPairing, ChunkNamingPartnersInParallelFolders) {
    ScratchDir dir;
    const QString front = dir.Write("DCIM/front/FILE0010.MOV");
    const QString rear = dir.Write("DCIM/back/FILE0011_b.MOV");
    EXPECT_EQ(RearPathFor(front), rear);
    EXPECT_EQ(FrontPathFor(rear), front);
}

TEST(CameraPairing, MetadataNamingExchangesTheLastTwoMarkers) {
    ScratchDir dir;
    const QString front = dir.Write("DCIM/MovieF/12340001F.MOV");
    const QString rear = dir.Write("DCIM/MovieR/12340001R.MOV");
    EXPECT_EQ(RearPathFor(front), rear);
    EXPECT_EQ(FrontPathFor(rear), front);

    // A third marker further up the path is left alone, so only a partner
    // that differs in the last two is found.
    const QString deepFront = dir.Write("FOOTAGE/MovieF/12340002F.MOV");
    dir.Write("FOOTAGE/MovieR/12340002R.MOV");
    EXPECT_EQ(RearPathFor(deepFront), dir.Root() + "FOOTAGE/MovieR/12340002R.MOV");
    const QString oneMarker = dir.Write("FOOTAGE/12340003F.MOV");
    dir.Write("FOOTAGE/12340003R.MOV");
    EXPECT_EQ(RearPathFor(oneMarker), QString()) << "the F of FOOTAGE changes too";
}

TEST(CameraPairing, ChunkPartnerIsTriedFirst) {
    ScratchDir dir;
    // Without any "F" the metadata rule would give the front path itself.
    const QString front = dir.Write("front/file0010.mov");
    const QString chunkRear = dir.Write("back/file0011_b.mov");
    EXPECT_EQ(RearPathFor(front), chunkRear);
}

TEST(CameraPairing, MissingPartnerOrUnusablePath) {
    ScratchDir dir;
    const QString lone = dir.Write("DCIM/abcd0001.MOV");
    // No marker at all: the unchanged path names an existing file.
    EXPECT_EQ(RearPathFor(lone), lone);
    EXPECT_EQ(FrontPathFor(lone), lone);

    const QString front = dir.Write("DCIM/12340009F.MOV");
    EXPECT_EQ(RearPathFor(front), QString()) << "partner not on disk";

    // Without a usable dot the derivation stops before the metadata rule,
    // even though that rule would find a file.
    dir.Write("DCIM/MovieF/12340001F");
    const QString noDotRear = dir.Write("DCIM/MovieR/12340001R");
    EXPECT_EQ(FrontPathFor(noDotRear), QString());
    EXPECT_EQ(RearPathFor(dir.Root() + "DCIM/MovieF/12340001F"), QString());
    EXPECT_EQ(FrontPathFor("ab.R"), QString());
    EXPECT_EQ(RearPathFor(".F"), QString());
    EXPECT_EQ(FrontPathFor(""), QString());
}

// The scan asks whether a rear file's partner is the file just before it
// without asking the disk where the names alone answer; the answer must be
// FrontPathFor's.
TEST(CameraPairing, IsFrontPathOfAnswersAsFrontPathFor) {
    ScratchDir dir;
    const QString chunkFront = dir.Write("DCIM/front/FILE0010.MOV");
    const QString chunkRear = dir.Write("DCIM/back/FILE0011_b.MOV");
    const QString metaFront = dir.Write("DCIM/MovieF/12340001F.MOV");
    const QString metaRear = dir.Write("DCIM/MovieR/12340001R.MOV");
    // A file under the chunk naming's partner name comes first.
    const QString shadowedFront = dir.Write("CARD/MovieF/ABCD0001F.MOV");
    const QString shadowedRear = dir.Write("CARD/MovieR/ABCD0001R.MOV");
    dir.Write("CARD/MovieR/ABCD000.MOV");
    const QString lone = dir.Write("DCIM/abcd0001.MOV");
    const struct {
        QString rear, front;
    } cases[] = {{chunkRear, chunkFront},    {metaRear, metaFront},  {shadowedRear, shadowedFront},
                 {chunkRear, metaFront},     {metaRear, chunkFront}, {lone, lone},
                 {dir.Root() + "x.R", lone}, {QString(), lone}};
    for (const auto& c : cases)
        EXPECT_EQ(IsFrontPathOf(c.rear, c.front), FrontPathFor(c.rear) == c.front)
            << c.rear.toStdString() << " / " << c.front.toStdString();
    EXPECT_TRUE(IsFrontPathOf(metaRear, metaFront));
    EXPECT_FALSE(IsFrontPathOf(shadowedRear, shadowedFront));
}

} // namespace
