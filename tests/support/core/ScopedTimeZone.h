#pragma once
// Sets the process time zone (a POSIX TZ text, no zone database needed) for
// the life of the object, so local-time results are the same on every machine.
#include <QByteArray>
#include <cstdlib>
#include <ctime>

class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const char* tz) {
        const char* old = std::getenv("TZ");
        hadOld = old != nullptr;
        if (hadOld)
            oldValue = old;
        setenv("TZ", tz, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (hadOld)
            setenv("TZ", oldValue.constData(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    bool hadOld = false;
    QByteArray oldValue;
};
