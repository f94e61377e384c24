#pragma once
#include <QPixmap>

// The four 24 x 24 row images of both lists (from the strip of bitmap 158,
// or drawn here when the program has none), by lock flags: 0 none (fully
// transparent), 1 padlock marked "G" (event lock), 2 marked "M" (hand lock),
// 3 plain padlock (both).
QPixmap PadlockImage(int index);
