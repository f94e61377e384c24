#include "recordings/RecordingCatalog.h"
#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/SmallCard.h"

#include <gtest/gtest.h>
#include <set>

namespace {

struct Card : SmallCard {
    RecordingCatalog catalog;
};

TEST(CatalogSelection, SelectGroupMakesItsFirstFileCurrent) {
    // Groups of 2, 3 and 1 files: group 1 starts at file 2, group 2 at 5.
    const struct {
        const char* name;
        int start; // file selected before, -1 for none
        int row;
        int result, file, group;
    } cases[] = {
        {"next group", 0, 1, 1, 2, 1},
        {"from the middle of a group", 3, 2, 1, 5, 2},
        {"back to the first", 4, 0, 1, 0, 0},
        {"its own group again", 3, 1, 1, 2, 1},
        {"nothing current yet", -1, 2, 1, 5, 2},
        {"row past the groups", 1, 3, 0, 1, 0},
        {"no row", 1, -1, 0, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Card card;
        card.Build(card.catalog, {2, 3, 1});
        if (c.start >= 0) {
            ASSERT_EQ(card.presenter->SelectFile(c.start), 1);
        }

        EXPECT_EQ(card.presenter->SelectGroup(c.row), c.result);
        EXPECT_EQ(card.catalog.currentFile(), c.file);
        EXPECT_EQ(card.catalog.currentGroup(), c.group);
        if (c.file >= 0) {
            EXPECT_EQ(card.groups.highlighted, std::set<int>{c.group});
            EXPECT_EQ(card.fileRows.highlighted, std::set<int>{c.file});
            EXPECT_EQ(card.groups.lastVisible, c.group);
            EXPECT_EQ(card.fileRows.lastVisible, c.file);
        }
    }
}

TEST(CatalogSelection, SelectGroupSkipsAGroupWithoutFiles) {
    Card card;
    card.Build(card.catalog, {2, 1});
    ASSERT_EQ(card.presenter->SelectFile(1), 1);
    CatalogStaging::Groups(card.catalog)[1].fileCount = 0;
    EXPECT_EQ(card.presenter->SelectGroup(1), 0);
    EXPECT_EQ(card.catalog.currentFile(), 1);
    EXPECT_EQ(card.fileRows.highlighted, std::set<int>{1});
}

TEST(CatalogSelection, DeleteKeepsTheCurrentRecordingAndItsGroup) {
    const struct {
        const char* name;
        std::vector<int> card;
        int current;      // selected before the delete
        int deletedGroup; // the group chosen for the delete
        int file, group;  // current after it
    } cases[] = {
        {"first group deleted, current after it", {1, 3, 1}, 2, 0, 1, 0},
        {"middle group deleted, current after it", {1, 3, 1}, 4, 1, 1, 1},
        {"middle group deleted, current before it", {1, 3, 1}, 0, 1, 0, 0},
        {"last group deleted, current in it", {1, 3, 1}, 4, 2, -1, -1},
        {"the only group deleted", {2}, 1, 0, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Card card;
        card.Build(card.catalog, c.card);
        ASSERT_EQ(card.presenter->SelectFile(c.current), 1);
        card.groups.chosen = {c.deletedGroup};

        ASSERT_EQ(card.presenter->DeleteChosen(), 1);
        EXPECT_EQ(card.catalog.currentFile(), c.file);
        EXPECT_EQ(card.catalog.currentGroup(), c.group);
        EXPECT_EQ(card.catalog.CurrentRecording() != nullptr, c.file >= 0);
        if (c.file >= 0) {
            EXPECT_EQ(card.catalog.CurrentRecording()->fileName, SmallCard::Name(c.current + 1));
        }
    }
}

TEST(CatalogSelection, ClampBringsAnIndexPastTheEndToTheLastFile) {
    const struct {
        int files, current, clamped;
    } cases[] = {
        {3, 5, 2}, {3, 3, 2}, {3, 2, 2}, {3, 0, 0}, {3, -1, -1}, {0, 0, -1}, {0, -1, -1},
    };
    for (const auto& c : cases) {
        RecordingCatalog catalog;
        CatalogStaging::Files(catalog).resize(size_t(c.files));
        CatalogStaging::SetCurrentFile(catalog, c.current);
        EXPECT_EQ(catalog.CurrentFileClamped(), c.clamped) << c.files << " " << c.current;
        EXPECT_EQ(catalog.currentFile(), c.current) << "the lookup leaves it alone";
        catalog.ClampCurrentFile();
        EXPECT_EQ(catalog.currentFile(), c.clamped) << c.files << " " << c.current;
    }
}

TEST(CatalogSelection, LookupsLeaveTheSelectionAlone) {
    Card card;
    card.Build(card.catalog, {2, 3, 1});
    RecordingCatalog& catalog = card.catalog;
    ASSERT_EQ(card.presenter->SelectFile(3), 1);
    // A current index past the end of a list that shrank.
    CatalogStaging::Files(catalog).resize(3);
    const std::set<int> groupsBefore = card.groups.highlighted;
    const std::set<int> filesBefore = card.fileRows.highlighted;

    EXPECT_EQ(catalog.FindGroupOfCurrentFile(), 1) << "the groups still hold it";
    EXPECT_EQ(catalog.CurrentGroupHasFlaggedFile(), 0);
    EXPECT_EQ(catalog.CurrentRecording(), nullptr);
    EXPECT_EQ(catalog.CurrentFileClamped(), 2);
    EXPECT_EQ(catalog.GpsPointCount(), 0);
    EXPECT_TRUE(catalog.CurrentTrack().RouteLine().empty());

    EXPECT_EQ(catalog.currentFile(), 3);
    EXPECT_EQ(catalog.currentGroup(), 1);
    EXPECT_EQ(card.groups.highlighted, groupsBefore);
    EXPECT_EQ(card.fileRows.highlighted, filesBefore);
}

} // namespace
