#pragma once
#include <cstddef>
#include <cstdint>

// One GPS record as the camera stores it (32 bytes, little-endian). Chunk
// recordings hold coordinates in NMEA form (degrees * 100 + minutes);
// metadata-track recordings are decoded into decimal degrees and local time.
struct GpsPoint {
    double latitude = 0;
    double longitude = 0;
    int32_t altitude = 0;
    uint16_t speed = 0; // km/h
    uint8_t year = 0;   // - 2000; 0 = no time
    uint8_t month = 0;
    uint8_t day = 0;
    uint8_t hour = 0;
    uint8_t minute = 0;
    uint8_t second = 0;
    uint8_t heading = 0; // units of 2 degrees
    uint8_t flags = 0;   // bit 0: valid fix
    uint16_t reserved = 0;

    static constexpr size_t kSize = 32;
    static constexpr uint8_t kFixFlag = 0x01;

    bool HasFix() const { return (flags & kFixFlag) != 0; }
    // Decodes a stored record whatever the host's byte order.
    static GpsPoint FromBytes(const uint8_t* p);
    void ToBytes(uint8_t* p) const;
};

static_assert(sizeof(GpsPoint) == 32, "GpsPoint is the 32-byte stored record");
static_assert(offsetof(GpsPoint, altitude) == 16 && offsetof(GpsPoint, speed) == 20 &&
                  offsetof(GpsPoint, year) == 22 && offsetof(GpsPoint, heading) == 28 &&
                  offsetof(GpsPoint, flags) == 29,
              "GpsPoint field offsets");

// One three-axis acceleration sample in the camera's raw units (6 bytes).
struct GSensorSample {
    int16_t x = 0;
    int16_t y = 0;
    int16_t z = 0;

    static constexpr size_t kSize = 6;
    static GSensorSample FromBytes(const uint8_t* p);
    void ToBytes(uint8_t* p) const;
};

static_assert(sizeof(GSensorSample) == 6, "GSensorSample is the 6-byte stored record");

bool operator==(const GSensorSample& a, const GSensorSample& b);
