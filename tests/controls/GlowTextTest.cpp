// The outlined, glowing, gradient-filled text of the read-outs.
#include "controls/DrawGlowText.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

QImage Draw(const QString& text, QPointF at, qreal em, GlowTextStyle style,
            QSize size = {400, 120}) {
    QImage img(size, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    DrawGlowText(p, text, at, em, style);
    return img;
}

// Bounding box of every touched pixel.
QRect Ink(const QImage& img) {
    QRect r;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != qRgb(0, 0, 0))
                r |= QRect(x, y, 1, 1);
    return r;
}

// Sum of red minus blue over the ink: amber text is positive, blue negative.
long Warmth(const QImage& img) {
    long w = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            w += qRed(img.pixel(x, y)) - qBlue(img.pixel(x, y));
    return w;
}

TEST(GlowText, EachStyleHasItsColoursAndPlace) {
    const QImage amber = Draw("88", {30, 20}, 20, GlowTextStyle::Instrument);
    const QRect a = Ink(amber);
    // Outline and glow reach a few pixels beyond the glyphs, no further.
    EXPECT_GE(a.left(), 30 - 5);
    EXPECT_LE(a.left(), 30 + 10);
    EXPECT_GE(a.top(), 20 - 5);
    EXPECT_LE(a.bottom(), 20 + 30);
    EXPECT_GT(Warmth(amber), 0);

    // The video style always starts at x = 10, whatever the caller says.
    const QImage blue = Draw("88", {200, 20}, 20, GlowTextStyle::Video);
    EXPECT_LE(Ink(blue).left(), 20);
    EXPECT_LT(Warmth(blue), 0);

    // The title always stands at (50, 10).
    const QImage title = Draw("Ostrel-Halvex Zarn", {0, 80}, 18, GlowTextStyle::Title);
    const QRect t = Ink(title);
    EXPECT_GE(t.left(), 45);
    EXPECT_LE(t.top(), 15);
    EXPECT_LE(t.bottom(), 45);
}

TEST(GlowText, LargerSizeGivesLargerText) {
    const QRect small = Ink(Draw("5", {0, 0}, 20, GlowTextStyle::Instrument));
    const QRect large = Ink(Draw("5", {0, 0}, 72, GlowTextStyle::Instrument, {200, 120}));
    EXPECT_GT(large.height(), 2 * small.height());
}

TEST(GlowText, TextIsCutAfter127Characters) {
    const QString long128 = QString(127, QLatin1Char('i')) + QLatin1Char('W');
    const QImage cut = Draw(long128, {0, 0}, 6, GlowTextStyle::Instrument, {1200, 20});
    const QImage kept =
        Draw(QString(127, QLatin1Char('i')), {0, 0}, 6, GlowTextStyle::Instrument, {1200, 20});
    EXPECT_EQ(cut, kept);
    EXPECT_TRUE(Ink(Draw("", {0, 0}, 20, GlowTextStyle::Instrument)).isNull());
}

} // namespace
