#pragma once
#include <QRect>
#include <QSize>

constexpr int kMinWindowWidth = 800;
constexpr int kMinWindowHeight = 560;

// Where the main window opens, from the saved WINPOS edges and the size of the
// screen: at least 800 x 560, at most the screen, moved back inside it.
QRect RestoredWindowRect(int left, int top, int right, int bottom, QSize screen);
