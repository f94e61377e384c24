#pragma once
#include <QRect>
#include <QSize>

constexpr int kMinWindowWidth = 800;
constexpr int kMinWindowHeight = 560;

// Where the main window opens, from the saved WINPOS edges and the area it
// may cover (the screen less its desktop panels): at least 800 x 560, at most
// that area, moved back inside it.
QRect RestoredWindowRect(int left, int top, int right, int bottom, const QRect& area);

enum class WindowPreset { Small, Medium, Large };

// The window rectangle of the S, M and L buttons on a monitor: 800 x 560
// centred; four fifths of the monitor (at least 800 x 560) an eighth in from
// its top left corner; the whole monitor.
QRect PresetWindowRect(WindowPreset preset, const QRect& monitor);
