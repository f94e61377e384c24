#pragma once
#include "platform/WindowMessages.h"

// wParam values of WM_MAP_BROWSER, posted to the map window.
constexpr unsigned MAP_CONTEXT_READY = 0xF011;
constexpr unsigned MAP_REFRESH_LATER = 0xF021;

// The map window's one-shot refresh timer.
constexpr int MAP_REFRESH_TIMER = 0xA020;
constexpr int kMapRefreshDelayMs = 100;
