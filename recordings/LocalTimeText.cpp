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
    // mktime asks the file system about the zone file on every call (a
    // stat per recording of a scan). Where the offset from UTC is the same a
    // day either side, it is the answer; only near a change of offset does
    // mktime decide.
    std::tm asUtc = tm;
    const time_t guess = timegm(&asUtc);
    if (guess != time_t(-1)) {
        long offsets[3] = {};
        bool known = true;
        for (int i = 0; i < 3 && known; ++i) {
            const time_t at = guess + time_t(i - 1) * 86400;
            std::tm local{};
            known = localtime_r(&at, &local) != nullptr;
            offsets[i] = local.tm_gmtoff;
        }
        if (known && offsets[0] == offsets[1] && offsets[1] == offsets[2])
            return int64_t(guess) - offsets[1];
    }
    return int64_t(std::mktime(&tm));
}
