#pragma once
// Where the position slider, the G-sensor curve and the main window agree on
// the play position. Written on the user-interface thread; the player event
// callbacks read SeekMinimum and SeekSpan, so each value is atomic.
#include <atomic>

// x of the slider's thumb, for the G-sensor cursor.
inline std::atomic<int> SeekCursorX{0};
// The cursor must follow the slider even at position 0 (set by the main
// window on a seek, cleared by the G-sensor curve).
inline std::atomic<bool> SeekHappened{false};
// Lowest position the slider may take, and the span above it (1000 - minimum).
inline std::atomic<int> SeekMinimum{0};
inline std::atomic<int> SeekSpan{1000};
