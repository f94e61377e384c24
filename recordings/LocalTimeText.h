#pragma once
#include <QString>
#include <cstdint>

// A time_t shown in local time with a strftime pattern. A time that the C
// library cannot convert gives an empty text, so one bad value never stops
// a list fill or an export.
QString FormatLocalTime(int64_t time, const char* pattern);

// A local date and time as a time_t, daylight saving decided by the system.
int64_t LocalToTime(int year, int month, int day, int hour, int minute, int second);
