#pragma once
#include "recordings/FileWindow.h"
#include "recordings/GpsPoint.h"
#include "recordings/RecordingInfo.h"

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// Decides whether a file is a recording of the camera and, when it is, fills
// the RecordingInfo given to SetInfo. Use: `CVelAviParser p; p.SetInfo(&info);
// if (p.Parse(path) == 0) ...`. Parse returns 0 for a recording, -1 otherwise;
// on -1 the info is left as it was. The walk records where the GPS and
// G-sensor blocks lie but skips the media data: only the edges of it that a
// window around the boxes takes in are read.
class CVelVideoParser {
  public:
    virtual ~CVelVideoParser() = default;
    CVelVideoParser(const CVelVideoParser&) = delete;
    CVelVideoParser& operator=(const CVelVideoParser&) = delete;

    virtual void SetInfo(RecordingInfo* info);
    virtual int Parse(const QString& path);
    // The next Parse reads this descriptor of its file, opened by the caller
    // (a scan that opened it to read ahead) and left open for it to close;
    // `head`, when given, is the file's first bytes as the caller read them.
    void UseOpenFile(int descriptor, uint64_t size, const QByteArray& head = {});

    // How often the last Parse opened the file, how many bytes it read and in
    // how many reads; lets tests and benchmarks check that media data is
    // skipped and that a file costs a few system calls.
    int OpenCount() const { return openCount; }
    uint64_t BytesRead() const { return bytesRead; }
    int ReadCount() const { return readCount; }

  protected:
    CVelVideoParser() = default;

    // Clears everything a walk finds; info and the file's length are kept.
    void ResetState();
    bool OpenFile(const QString& path);
    void CloseFile();
    // Reads up to n bytes at pos; bytes past the end of the file read as zero.
    // Returns how many bytes came from the file.
    size_t ReadAt(uint64_t pos, void* buffer, size_t n) { return file.ReadAt(pos, buffer, n); }
    // Where the next data at or after pos lies: the end of a hole of a sparse
    // file (which reads as zeros), fileLength when only a hole is left, or
    // pos itself.
    uint64_t NextDataAt(uint64_t pos) const { return file.NextDataAt(pos); }

    // Applies the text of an "IDIT" payload (first 64 bytes at most).
    void ApplyDateText(const char* text, size_t length);
    // Looks at the records of a "gps0" payload for the first one that holds a
    // time while no start time is settled.
    void ScanGpsRecords(uint64_t payloadStart, uint64_t payloadSize);
    // Copies the findings into info (when set).
    void FillInfo() const;

    FileWindow file;
    int64_t startTime = 0;
    int64_t durationSeconds = 0;
    uint32_t durationMs = 0;
    uint64_t gpsOffset = 0;
    uint32_t gpsSize = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint64_t gsensorOffset = 0;
    uint32_t gsensorSize = 0;
    uint64_t fileLength = 0;
    std::array<uint8_t, 4> gpsParams{};
    std::array<uint8_t, 4> gsensorParams{};
    RecordingInfo* info = nullptr;
    int markerFound = 0;
    bool timeSettled = false;

    int givenFd = -1;
    uint64_t givenSize = 0;
    QByteArray givenHead;
    int openCount = 0;
    uint64_t bytesRead = 0;
    int readCount = 0;
};
