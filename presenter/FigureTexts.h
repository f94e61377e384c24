#pragma once
// The texts of figures shown to the user: speeds and distances in the unit
// the viewer's speed read-out is set to, durations, sizes, times of day.
#include <QString>
#include <cstdint>

enum class SpeedUnit { Kmh, Mph };

class FigureTexts {
  public:
    explicit FigureTexts(SpeedUnit unit = SpeedUnit::Kmh) : unit_(unit) {}
    // In the unit the viewer's speed read-out was last set to.
    static FigureTexts OfViewer();

    SpeedUnit Unit() const { return unit_; }
    // "km/h" or "mph".
    QString SpeedUnitName() const;
    // A speed in the unit, as a number: for scales.
    double SpeedValue(double kmh) const;
    // "42 km/h" or "26 mph", whole numbers.
    QString Speed(double kmh) const;
    // A lower bound of a speed band and its upper one (or none): "30–60 km/h",
    // "120+ km/h", each bound rounded to the unit.
    QString SpeedRange(double fromKmh, double toKmh, bool open) const;
    // A change of speed per second: "12 km/h/s" or "7 mph/s".
    QString SpeedChange(double kmhPerSecond) const;
    // A route's length: "12.3 km" or "7.6 mi".
    QString Distance(double metres) const;
    // A short distance to a place, always in metres (the radius asked in): "55 m".
    static QString Metres(double metres);
    // Always hours, minutes and seconds: "1:02:03", "0:02:03" ("2:03" reads
    // as two hours).
    static QString Duration(int64_t ms);
    // "3.2 GB" from a gigabyte up, else "750 MB".
    static QString Bytes(uint64_t bytes);
    // A moment in the computer's local time, in a QDateTime format.
    static QString LocalTime(int64_t utcMs, const char* format);

  private:
    SpeedUnit unit_;
};
