// Where marks fall in consecutive recordings, and the figures drawn there.
#include "clip/ClipSpan.h"
#include "clip/ClipFigures.h"
#include "clip/ClipGeometry.h"
#include "clip/ClipOverlayImage.h"
#include "strings/UiStrings.h"

#include <gtest/gtest.h>

namespace {

// Three one-minute recordings; the third follows a gap.
std::vector<ClipSource> Drive() {
    std::vector<ClipSource> s(3);
    s[0].front = "a";
    s[0].startMs = 1'000'000;
    s[0].durationMs = 60'000;
    s[1].front = "b";
    s[1].startMs = 1'060'000;
    s[1].durationMs = 60'000;
    s[2].front = "c";
    s[2].startMs = 1'200'000;
    s[2].durationMs = 60'000;
    return s;
}

struct SpanCase {
    const char* what;
    int64_t from, to;
    std::vector<std::tuple<QString, int64_t, int64_t>> pieces; // empty: refused
};

TEST(ClipSpan, MarksBecomePiecesOfTheRecordings) {
    const SpanCase cases[] = {
        {"inside one", 1'010'000, 1'020'000, {{"a", 10'000, 20'000}}},
        {"across the seam", 1'050'000, 1'070'000, {{"a", 50'000, 60'000}, {"b", 0, 10'000}}},
        {"a whole recording", 1'060'000, 1'120'000, {{"b", 0, 60'000}}},
        {"across a gap", 1'110'000, 1'210'000, {}},
        {"before the first", 990'000, 1'010'000, {}},
        {"after the last", 1'250'000, 1'270'000, {}},
        {"ends before it starts", 1'020'000, 1'010'000, {}},
        {"empty", 1'020'000, 1'020'000, {}},
    };
    for (const SpanCase& c : cases) {
        std::vector<ClipPiece> pieces;
        QString error;
        const bool ok = SpanPieces(Drive(), c.from, c.to, &pieces, &error);
        EXPECT_EQ(ok, !c.pieces.empty()) << c.what;
        if (!ok) {
            EXPECT_FALSE(error.isEmpty()) << c.what;
            continue;
        }
        ASSERT_EQ(pieces.size(), c.pieces.size()) << c.what;
        for (size_t i = 0; i < pieces.size(); ++i) {
            EXPECT_EQ(pieces[i].source.front, std::get<0>(c.pieces[i])) << c.what;
            EXPECT_EQ(pieces[i].inMs, std::get<1>(c.pieces[i])) << c.what;
            EXPECT_EQ(pieces[i].outMs, std::get<2>(c.pieces[i])) << c.what;
        }
    }
}

// A camera clock of whole seconds starts the next file a little early; the
// overlap is taken once.
TEST(ClipSpan, OverlapAtTheSeamIsTakenOnce) {
    std::vector<ClipSource> s = Drive();
    s[1].startMs = 1'059'000;
    std::vector<ClipPiece> pieces;
    QString error;
    ASSERT_TRUE(SpanPieces(s, 1'050'000, 1'070'000, &pieces, &error)) << error.toStdString();
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(pieces[0].outMs - pieces[0].inMs + pieces[1].outMs - pieces[1].inMs, 20'000);
    EXPECT_EQ(pieces[1].inMs, 1'000);
}

// An event's clip reaches 15 s each way, trimmed where the drive's
// recordings stop following each other.
TEST(ClipSpan, SpanAroundAMomentStaysInsideItsDrive) {
    const struct {
        const char* what;
        int64_t at;
        std::optional<std::pair<int64_t, int64_t>> span;
    } cases[] = {
        {"inside one", 1'030'000, std::pair<int64_t, int64_t>{1'015'000, 1'045'000}},
        {"across the seam", 1'055'000, std::pair<int64_t, int64_t>{1'040'000, 1'070'000}},
        {"near the drive's start", 1'005'000, std::pair<int64_t, int64_t>{1'000'000, 1'020'000}},
        {"before a gap", 1'110'000, std::pair<int64_t, int64_t>{1'095'000, 1'120'000}},
        {"after a gap", 1'205'000, std::pair<int64_t, int64_t>{1'200'000, 1'220'000}},
        {"in the gap", 1'150'000, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SpanAround(Drive(), c.at, 15'000, 15'000), c.span) << c.what;
}

TEST(ClipFigures, InsideAPrivacyZoneNothingTellsWhereTheCarIs) {
    ClipSource source;
    source.front = "a";
    source.startMs = 0;
    source.durationMs = 4000;
    ClipPiece piece{source, 0, 4000};
    TripRecording track;
    // 2 km west of home, home twice, then 2 km east of it.
    for (const auto& [ms, lon] : {std::pair(0, 139.678), std::pair(1000, 139.70),
                                  std::pair(2000, 139.70), std::pair(3000, 139.722)}) {
        GpsFix p;
        p.latitude = 35.6;
        p.longitude = lon;
        p.speedKmh = 30;
        p.headingDegrees = 90;
        p.hasTime = true;
        p.utcMs = ms;
        track.points.push_back(p);
    }
    track.samples.push_back({1500, 0.1, 0.2, 0.3});
    ClipOptions options;
    options.overlays =
        kOverlaySpeed | kOverlayPosition | kOverlayHeading | kOverlayGSensor | kOverlayMap;
    const ClipFigures figures = BuildClipFigures(
        {piece}, {track}, options, {PrivacyZone{35.6, 139.70, 500}}, MeasureClipClock({piece}));
    ASSERT_FALSE(figures.changes.empty());
    bool sawHome = false, sawG = false;
    for (const ClipFigureChange& change : figures.changes) {
        ASSERT_EQ(change.lines.size(), 4);
        const bool home = change.clipMs >= 1000 && change.clipMs < 3000;
        sawHome = sawHome || home;
        // Speed and heading would trace the hidden way from the last fix.
        EXPECT_EQ(change.lines[0], home ? QString() : QString("30 km/h")) << change.clipMs;
        EXPECT_EQ(change.lines[1] == LoadUiString(UiStringId::kClipPositionHidden), home)
            << change.clipMs;
        EXPECT_EQ(change.lines[1].contains("139."), !home) << change.clipMs;
        EXPECT_EQ(change.lines[2], home ? QString() : QString("90\u00B0")) << change.clipMs;
        EXPECT_EQ(change.hasCar, !home) << change.clipMs;
        // The G-sensor gives no place away and stays.
        sawG = sawG || (home && change.lines[3].startsWith("G 0.10"));
    }
    EXPECT_TRUE(sawHome);
    EXPECT_TRUE(sawG);
    // The route breaks where the zone hides it rather than cutting across.
    ASSERT_EQ(figures.route.size(), 3u);
    EXPECT_DOUBLE_EQ(figures.route[0].x(), 139.678);
    EXPECT_TRUE(IsRouteBreak(figures.route[1]));
    EXPECT_DOUBLE_EQ(figures.route[2].x(), 139.722);
}

TEST(ClipGeometry, FiguresThatDoNotFitAreRefused) {
    ClipOptions options;
    ClipGeometry g;
    QString error;
    // A small picture is scaled up to 720 lines first, but not for any box.
    EXPECT_FALSE(
        ComputeClipGeometry(options, QSize(160, 90), QSize(), QSize(1400, 40), &g, &error));
    EXPECT_FALSE(error.isEmpty());
    // The figures move away from a rear inset in their corner.
    options.layout = ClipLayout::PictureInPicture;
    options.insetCorner = ClipCorner::BottomLeft;
    ASSERT_TRUE(
        ComputeClipGeometry(options, QSize(640, 360), QSize(320, 180), QSize(200, 40), &g, &error));
    EXPECT_FALSE(g.rearInset.intersects(g.figures));
}

// Figures are drawn on at least 720 lines: a smaller picture is scaled up,
// its shape kept, before anything is placed on it.
TEST(ClipGeometry, FiguresScaleASmallPictureUpTo720Lines) {
    const struct {
        const char* what;
        ClipLayout layout;
        QSize front, rear;
        bool figures;
        QSize picture;
    } cases[] = {
        {"small, no figures", ClipLayout::Front, {320, 180}, {}, false, {320, 180}},
        {"small", ClipLayout::Front, {320, 180}, {}, true, {1280, 720}},
        {"medium", ClipLayout::Front, {640, 360}, {}, true, {1280, 720}},
        {"720 lines", ClipLayout::Front, {1280, 720}, {}, true, {1280, 720}},
        {"1080 lines", ClipLayout::Front, {1920, 1080}, {}, true, {1920, 1080}},
        {"4:3", ClipLayout::Front, {640, 480}, {}, true, {960, 720}},
        {"rear", ClipLayout::Rear, {320, 180}, {160, 90}, true, {1280, 720}},
        {"side by side", ClipLayout::SideBySide, {320, 180}, {160, 90}, true, {2560, 720}},
        {"above", ClipLayout::FrontAboveRear, {320, 180}, {160, 90}, true, {640, 720}},
        {"inset", ClipLayout::PictureInPicture, {320, 180}, {160, 90}, true, {1280, 720}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClipOptions options;
        options.layout = c.layout;
        options.insetCorner = ClipCorner::BottomLeft;
        const QSize picture = ClipPictureSize(c.layout, c.front, c.rear, c.figures);
        EXPECT_EQ(picture, c.picture);
        ClipGeometry g;
        QString error;
        const QSize box = c.figures ? OverlayBoxSize(picture, 5, true, 30) : QSize();
        ASSERT_TRUE(ComputeClipGeometry(options, c.front, c.rear, box, &g, &error))
            << error.toStdString();
        EXPECT_EQ(g.frame, c.picture);
        EXPECT_TRUE(QRect(QPoint(), g.frame).contains(g.figures) || box.isEmpty());
        EXPECT_FALSE(g.rearInset.intersects(g.figures));
        // The graph makes the picture it states.
        if (c.layout == ClipLayout::Front && c.picture != c.front) {
            EXPECT_TRUE(g.filterText.contains(
                QStringLiteral("scale=%1:%2").arg(c.picture.width()).arg(c.picture.height())))
                << g.filterText.toStdString();
        }
        if (c.layout == ClipLayout::PictureInPicture) {
            EXPECT_EQ(g.rearInset.size(),
                      QSize(c.picture.width() / 3 & ~1, c.picture.height() / 3 & ~1));
        }
    }
}

} // namespace
