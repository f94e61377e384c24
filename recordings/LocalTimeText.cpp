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
