#include "presenter/CatalogPresenter.h"
#include "recordings/RecordingCatalog.h"

#include "tests/support/core/CatalogFakes.h"
#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/ScratchDir.h"

#include <gtest/gtest.h>

namespace {

RecordingFile Entry(const QString& root, const QString& folder, const QString& name,
                    int64_t startTime, uint32_t durationMs, uint64_t size = 1000,
                    uint8_t flags = 0) {
    RecordingFile f;
    f.root = root;
    f.folder = folder;
    f.fileName = name;
    f.flags = flags;
    f.info.startTime = startTime;
    f.info.durationMs = durationMs;
    f.info.fileSize = size;
    f.info.width = 1920;
    f.info.height = 1080;
    return f;
}

std::vector<int> StartsOf(const RecordingCatalog& c) {
    std::vector<int> marks;
    for (const RecordingFile& f : c.Files())
        marks.push_back(f.groupStart);
    return marks;
}

TEST(RecordingGrouping, GroupStartsFollowTheTwoSecondRule) {
    // The previous file starts at 1000 and lasts 60.999 s, so it ends at 1060.
    const struct {
        int64_t nextStart;
        int expectedMark;
    } cases[] = {
        {1058, 0}, {1057, 1}, {1062, 0}, {1063, 1}, {1000, 0}, {1001, 1}, {1060, 0},
    };
    for (const auto& c : cases) {
        RecordingCatalog catalog;
        CatalogStaging::Files(catalog).push_back(Entry("/card/", "", "FILE0001.MOV", 1000, 60999));
        CatalogStaging::Files(catalog).push_back(
            Entry("/card/", "", "FILE0002.MOV", c.nextStart, 1000));
        catalog.MarkGroupStarts();
        EXPECT_EQ(StartsOf(catalog), (std::vector<int>{1, c.expectedMark}))
            << "next start " << c.nextStart;
    }
}

TEST(RecordingGrouping, EarlierMarksAreKept) {
    RecordingCatalog catalog;
    CatalogStaging::Files(catalog).push_back(Entry("/card/", "", "FILE0001.MOV", 1000, 60000));
    CatalogStaging::Files(catalog).push_back(Entry("/card/", "", "FILE0002.MOV", 1060, 60000));
    CatalogStaging::Files(catalog)[1].groupStart = 1;
    catalog.MarkGroupStarts();
    EXPECT_EQ(StartsOf(catalog), (std::vector<int>{1, 1}));
}

TEST(RecordingGrouping, GroupsAndRowsCoverTheFiles) {
    RecordingCatalog catalog;
    CatalogStaging::Files(catalog).push_back(
        Entry("/card/", "A/", "FILE0001.MOV", 1000, 60000, 100, 0));
    CatalogStaging::Files(catalog).push_back(
        Entry("/card/", "A/", "FILE0002.MOV", 1060, 30500, 200, 1));
    CatalogStaging::Files(catalog).push_back(
        Entry("/card/", "A/", "FILE0003.MOV", 1091, 10000, 300, 2));
    CatalogStaging::Files(catalog).push_back(
        Entry("/card/", "B/", "FILE0004.MOV", 5000, 10000, 400, 0));
    catalog.MarkGroupStarts();
    catalog.BuildGroupsAndRows();

    ASSERT_EQ(catalog.Groups().size(), 2u);
    const RecordingGroup& g0 = catalog.Groups()[0];
    EXPECT_EQ(g0.number, 0);
    EXPECT_EQ(g0.firstFile, 0);
    EXPECT_EQ(g0.fileCount, 3);
    EXPECT_EQ(g0.totalDurationMs, 100500u);
    EXPECT_EQ(g0.totalSize, 600u);
    EXPECT_EQ(g0.flags, 3) << "a G file and an M file make the plain padlock";
    EXPECT_EQ(catalog.Groups()[1].firstFile, 3);
    EXPECT_EQ(catalog.Groups()[1].fileCount, 1);
    EXPECT_EQ(catalog.Groups()[1].flags, 0);

    ASSERT_EQ(catalog.Rows().size(), 4u);
    const int expected[4][3] = {{0, 0, 0}, {0, 1, 1}, {0, 2, 2}, {1, 0, 3}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(catalog.Rows()[size_t(i)].groupNumber, expected[i][0]);
        EXPECT_EQ(catalog.Rows()[size_t(i)].indexInGroup, expected[i][1]);
        EXPECT_EQ(catalog.Rows()[size_t(i)].fileIndex, expected[i][2]);
    }
    EXPECT_EQ(catalog.Rows()[2].fileSize, 300u);
    EXPECT_EQ(catalog.Rows()[1].durationMs, 30500u);
}

TEST(RecordingGrouping, FrontAndRearOfOneMomentCountOnce) {
    ScratchDir dir;
    dir.Write("MovieF/12340001F.MOV");
    dir.Write("MovieR/12340001R.MOV");
    dir.Write("front/FILE0010.MOV");
    dir.Write("back/FILE0011_b.MOV");
    const QString r = dir.Root();
    const struct {
        const char* what;
        RecordingFile first, second;
        uint64_t total;
    } cases[] = {
        {"metadata naming", Entry(r, "MovieF/", "12340001F.MOV", 1000, 60000),
         Entry(r, "MovieR/", "12340001R.MOV", 1000, 60000), 60000},
        {"chunk naming", Entry(r, "front/", "FILE0010.MOV", 1000, 60000),
         Entry(r, "back/", "FILE0011_b.MOV", 1000, 60000), 60000},
        {"partner started later", Entry(r, "MovieF/", "12340001F.MOV", 1000, 60000),
         Entry(r, "MovieR/", "12340001R.MOV", 1060, 60000), 120000},
        {"not partners", Entry(r, "front/", "FILE0010.MOV", 1000, 60000),
         Entry(r, "MovieR/", "12340001R.MOV", 1000, 60000), 120000},
    };
    for (const auto& c : cases) {
        RecordingCatalog catalog;
        CatalogStaging::Files(catalog) = {c.first, c.second};
        catalog.MarkGroupStarts();
        catalog.BuildGroupsAndRows();
        ASSERT_EQ(catalog.Groups().size(), 1u) << c.what;
        EXPECT_EQ(catalog.Groups()[0].totalDurationMs, c.total) << c.what;
        EXPECT_EQ(catalog.Groups()[0].totalSize, 2000u) << c.what;
    }
}

struct ListedCatalog : ::testing::Test {
    void SetUp() override {
        presenter.SetViews({&groups, &fileRows, nullptr, nullptr, nullptr});
        CatalogStaging::Files(catalog).push_back(
            Entry("/card/", "DCIM/MOVIE/", "FILE0001.MOV", 1000, 60000, 3221225472u, 2));
        CatalogStaging::Files(catalog).push_back(
            Entry("/card/", "DCIM/MOVIE/", "FILE0002.MOV", 1060, 1000));
        CatalogStaging::Files(catalog).push_back(Entry("/card/", "", "FILE0003.MOV", 9000, 1000));
        CatalogStaging::Files(catalog)[2].info.width = 1920;
        CatalogStaging::Files(catalog)[2].info.height = 1088;
        catalog.MarkGroupStarts();
        catalog.BuildGroupsAndRows();
        presenter.FillLists();
    }
    RecordingCatalog catalog;
    CatalogPresenter presenter{catalog};
    FakeGroupList groups;
    FakeFileList fileRows;
};

TEST_F(ListedCatalog, FillShowsGroupsThenFiles) {
    ASSERT_EQ(groups.rows.size(), 2u);
    EXPECT_EQ(groups.rows[0].resolution, "1080P HD");
    EXPECT_EQ(groups.rows[0].totalDurationMs, 61000u);
    EXPECT_EQ(groups.rows[0].totalSize, 3221225472u + 1000u);
    EXPECT_EQ(groups.rows[0].flags, 2);
    EXPECT_EQ(groups.rows[0].startTime, 1000);
    EXPECT_EQ(groups.rows[1].resolution, "1920x1088");

    ASSERT_EQ(fileRows.rows.size(), 3u);
    EXPECT_EQ(fileRows.rows[1].groupNumber, 0);
    EXPECT_EQ(fileRows.rows[1].indexInGroup, 1);
    EXPECT_EQ(fileRows.rows[1].folderText, "/card/DCIM/MOVIE/");
    EXPECT_EQ(fileRows.rows[1].fileName, "FILE0002.MOV");
    EXPECT_EQ(fileRows.rows[2].folderText, "/card/");
    EXPECT_EQ(fileRows.rows[0].fileSize, 3221225472u);
    EXPECT_EQ(fileRows.rows[0].flags, 2);
    EXPECT_EQ(fileRows.rows[2].startTime, 9000);
}

TEST_F(ListedCatalog, SelectFileMovesTheHighlights) {
    ASSERT_EQ(presenter.SelectFile(1), 1);
    EXPECT_EQ(catalog.currentFile(), 1);
    EXPECT_EQ(catalog.currentGroup(), 0);
    EXPECT_EQ(groups.highlighted, std::set<int>{0});
    EXPECT_EQ(fileRows.highlighted, std::set<int>{1});
    EXPECT_EQ(fileRows.lastVisible, 1);

    ASSERT_EQ(presenter.SelectFile(2), 1);
    EXPECT_EQ(catalog.currentGroup(), 1);
    EXPECT_EQ(groups.highlighted, std::set<int>{1});
    EXPECT_EQ(fileRows.highlighted, std::set<int>{2});
    EXPECT_EQ(groups.lastVisible, 1);

    for (int bad : {3, -1}) {
        EXPECT_EQ(presenter.SelectFile(bad), 0);
        EXPECT_EQ(catalog.currentFile(), 2);
        EXPECT_EQ(fileRows.highlighted, std::set<int>{2});
    }
}

TEST(RecordingCatalogOpen, MissingFolderLeavesTheCatalogEmpty) {
    RecordingCatalog catalog;
    CatalogPresenter presenter(catalog);
    FakeGroupList groups;
    FakeFileList fileRows;
    presenter.SetViews({&groups, &fileRows, nullptr, nullptr, nullptr});
    CatalogStaging::Files(catalog).push_back(Entry("/card/", "", "FILE0001.MOV", 1000, 1000));
    catalog.MarkGroupStarts();
    catalog.BuildGroupsAndRows();
    presenter.FillLists();
    catalog.scanCount = 7;

    EXPECT_EQ(presenter.Open("/nonexistent/card"), 0);
    EXPECT_TRUE(catalog.Files().empty());
    EXPECT_TRUE(catalog.Groups().empty());
    EXPECT_TRUE(catalog.Rows().empty());
    EXPECT_TRUE(groups.rows.empty());
    EXPECT_TRUE(fileRows.rows.empty());
    EXPECT_EQ(catalog.scanCount, 0);
}

} // namespace
