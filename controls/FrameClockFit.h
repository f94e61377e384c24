#pragma once
// Where and how large the frame clock's text goes in the title strip.
#include <QFont>
#include <QRect>
#include <QStringList>

struct FrameClockFit {
    QFont font;
    QStringList lines;
    QRect rect; // the text's box, inside the room it was given
};

// The clock's text ("date time  position") in `beside` (the room beside the
// read-outs) on one line, else time above position, as large as fits; when
// it fits there only below a readable size, on one line in `below` (the band
// under the read-outs); else as small as it goes in `beside`, cut.
FrameClockFit FitFrameClock(const QString& text, QRect beside, QRect below);
