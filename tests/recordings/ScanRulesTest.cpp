#include "recordings/ScanRules.h"
#include "platform/FileAttributes.h"

#include <gtest/gtest.h>

namespace {

TEST(ScanRules, CandidateNames) {
    const struct {
        const char* name;
        bool candidate;
    } cases[] = {
        {"FILE0001.MOV", true},
        {"EVGS0012.MOV", true},
        {"MOV_0001.MOV", true},
        {"ab-z0001F.MOV", true}, // longer, ending in ".MOV"
        {"ABCD1234.AVI", true},  // twelve characters, any extension
        {"MOV00001.MP4", true},
        {"MOV00001A.MP4", false},             // thirteen and not ".MOV"
        {"2021_0704_183005_001F.MOV", false}, // fifth character not a digit
        {"FILE0001.mov", true},               // twelve characters
        {"FILE0001F.mov", false},
        {"FIL.0001.MOV", false},
        {"FILE001.MOV", false},
        {"FILE0001", false},
        {"FILE0001.MO", false},
        {"FILE\u00e90001.MOV", false},               // only ASCII letters
        {"FILE\u0661\u0662\u0663\u0664.MOV", false}, // only ASCII digits
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScanRules::IsCandidateName(QString::fromUtf8(c.name)), c.candidate) << c.name;
}

TEST(ScanRules, ChunkVariantFlagsFromAttributes) {
    using namespace FileAttributes;
    const struct {
        unsigned attributes;
        const char* name;
        uint8_t flags;
    } cases[] = {
        {ReadOnly, "FILE0001.MOV", 3},
        {ReadOnly, "EVGS0001.MOV", 3},
        {ReadOnly | Archive, "EVGS0001.MOV", 1},
        {ReadOnly | Archive, "FILE0001.MOV", 2},
        {ReadOnly | Archive, "evgs0001.MOV", 2},
        {Archive, "EVGS0001.MOV", 0},
        {0, "FILE0001.MOV", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScanRules::ChunkFlags(c.attributes, c.name), c.flags)
            << c.name << " attributes " << c.attributes;
}

TEST(ScanRules, MetadataTrackFlagsFromNameOrReadOnly) {
    const unsigned writable = 0, readOnly = FileAttributes::ReadOnly;
    EXPECT_EQ(ScanRules::MetadataTrackFlags(writable, "EVGS0001.MOV"), 1);
    EXPECT_EQ(ScanRules::MetadataTrackFlags(writable, "EVSW0001.MOV"), 2);
    EXPECT_EQ(ScanRules::MetadataTrackFlags(writable, "ABCD0001.MOV"), 0);
    EXPECT_EQ(ScanRules::MetadataTrackFlags(writable, "evsw0001.MOV"), 0);
    // LOCK makes the files read-only; the padlock must then show after a scan.
    EXPECT_EQ(ScanRules::MetadataTrackFlags(readOnly, "ABCD0001.MOV"), 2);
    EXPECT_EQ(ScanRules::MetadataTrackFlags(readOnly, "EVGS0001.MOV"), 1);
}

} // namespace
