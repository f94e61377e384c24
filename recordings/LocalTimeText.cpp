#include "recordings/LocalTimeText.h"

#include <ctime>

QString FormatLocalTime(int64_t time, const char* pattern) {
    const time_t t = time_t(time);
    if (int64_t(t) != time)
        return QString();
    struct tm local {};
    if (!localtime_r(&t, &local))
        return QString();
    char text[128];
    const size_t n = strftime(text, sizeof text, pattern, &local);
    return QString::fromLocal8Bit(text, int(n));
}

int64_t LocalToTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return int64_t(std::mktime(&tm));
}
