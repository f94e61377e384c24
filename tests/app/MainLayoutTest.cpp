#include "app/window/MainLayout.h"
#include "app/window/ControlIds.h"

#include <gtest/gtest.h>

namespace {

MainLayoutInput Default800x560() {
    MainLayoutInput in;
    in.cx = 800;
    in.cy = 560;
    in.gsensorHeight = 100;
    return in;
}

TEST(MainLayout, DefaultPanesAt800x560) {
    const MainLayoutResult r = LayoutControls(Default800x560());
    EXPECT_EQ(r.mapPane, Ltrb(555, 48, 795, 288));
    EXPECT_EQ(r.controls.at(IDC_FILE_LIST), Ltrb(555, 293, 795, 496));
    EXPECT_EQ(r.columnSplitter, Ltrb(550, 48, 555, 496));
    const int vb = 241; // e = 560 - 100 - 112, group list 120 high
    EXPECT_EQ(r.controls.at(IDC_FRONT_FRAME), Ltrb(5, 48, 272, vb));
    EXPECT_EQ(r.controls.at(IDC_REAR_FRAME), Ltrb(272, 48, 549, vb));
    EXPECT_EQ(r.controls.at(IDC_POSITION_SLIDER), QRect(5, vb, 544, 20));
    EXPECT_EQ(r.controls.at(IDC_GSENSOR), Ltrb(5, vb + 25, 549, 366));
    EXPECT_EQ(r.controls.at(IDC_GROUP_LIST), Ltrb(5, 371, 549, 496));
    EXPECT_EQ(r.groupListSplitter, Ltrb(5, 366, 549, 371));
    EXPECT_EQ(r.controls.at(IDC_PLAY), QRect(302, 504, 48, 48));
    EXPECT_EQ(r.controls.at(IDC_FAST).left(), 351);
    EXPECT_EQ(r.controls.at(IDC_LOCK), QRect(800 - 195 + 136, 520, 32, 32));
    EXPECT_EQ(r.controls.at(IDC_CLOSE), QRect(768, 2, 25, 25));
    EXPECT_EQ(r.controls.at(IDC_SIZE_S), QRect(601, 11, 16, 16));
}

TEST(MainLayout, RightColumnWidthIsClamped) {
    struct Case {
        int requested;
        int expectedLeft;
    };
    for (const Case c : {Case{240, 555}, Case{5000, 15}, Case{10, 775}, Case{-3, 775}}) {
        MainLayoutInput in = Default800x560();
        in.rightPaneWidth = c.requested;
        EXPECT_EQ(LayoutControls(in).controls.at(IDC_FILE_LIST).left(), c.expectedLeft)
            << c.requested;
    }
}

TEST(MainLayout, PaneTogglesGiveTheirRoomToNeighbours) {
    MainLayoutInput in = Default800x560();
    const MainLayoutResult on = LayoutControls(in);

    in.gsensorEnabled = false;
    const MainLayoutResult noCurve = LayoutControls(in);
    EXPECT_EQ(noCurve.controls.count(IDC_GSENSOR), 0u);
    EXPECT_EQ(noCurve.controls.at(IDC_FRONT_FRAME).height(),
              on.controls.at(IDC_FRONT_FRAME).height() + 100);
    EXPECT_EQ(noCurve.controls.at(IDC_GROUP_LIST), Ltrb(5, 366, 549, 496));

    in = Default800x560();
    in.mapEnabled = false;
    const MainLayoutResult noMap = LayoutControls(in);
    EXPECT_EQ(noMap.controls.at(IDC_FILE_LIST), Ltrb(555, 48, 795, 496));
    EXPECT_EQ(noMap.mapPane.height(), 0);
}

TEST(MainLayout, VideosKeepTheRecordingsAspect) {
    const QRect front = Ltrb(5, 48, 272, 241), rear = Ltrb(272, 48, 549, 241);
    const VideoRects wide = FitVideosToAspect(front, rear, 1920, 1080);
    EXPECT_EQ(wide.front, QRect(5, 48 + (193 - 150) / 2, 267, 267 * 1080 / 1920));
    EXPECT_EQ(wide.rear.top(), wide.front.top());
    EXPECT_EQ(wide.rear.left(), 272);

    const VideoRects tall = FitVideosToAspect(front, rear, 480, 640);
    EXPECT_EQ(tall.front.height(), 193);
    EXPECT_EQ(tall.front.width(), 193 * 480 / 640);
    EXPECT_EQ(tall.front.left() - front.left(), tall.rear.left() - rear.left());

    EXPECT_EQ(FitVideosToAspect(front, rear, 0, 0).front, front);
}

} // namespace
