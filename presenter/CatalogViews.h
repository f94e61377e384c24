#pragma once
// What the catalog's presenter needs of the views it feeds. The widgets
// implement these; the presenter holds non-owning pointers that may be null,
// so it works, and is tested, without any widget.
#include "recordings/GpsPoint.h"
#include "recordings/Track.h"

#include <QString>
#include <cstdint>
#include <vector>

class GroupListView {
  public:
    virtual ~GroupListView() = default;
    virtual void DeleteAllItems() = 0;
    virtual bool AddGroupRow(int groupNumber, const QString& resolution, uint64_t totalDurationMs,
                             uint64_t totalSize, uint8_t flags, int64_t startTime) = 0;
    virtual void SetDropHighlight(int row, bool on) = 0;
    virtual void EnsureVisible(int row) = 0;
    // A group row is chosen when it is selected or checked.
    virtual bool IsRowChosen(int row) const = 0;
};

class FileListView {
  public:
    virtual ~FileListView() = default;
    virtual void DeleteAllItems() = 0;
    virtual bool AddFileRow(int groupNumber, int indexInGroup, const QString& folderText,
                            const QString& fileName, uint32_t durationMs, uint64_t fileSize,
                            uint8_t flags, int64_t startTime) = 0;
    virtual void SetDropHighlight(int row, bool on) = 0;
    virtual void EnsureVisible(int row) = 0;
};

// The G-sensor curve's public state, written by the presenter.
struct GSensorCurveState {
    std::vector<GSensorSample> samples;
    double fullScale = 2.0;
    double range = 2.0;
    double samplesPerMs = 0.016;
    double duration = 0;
    int scaleMode = 0;
    double fixedWindowMs = 60000.0;
    double pixelsPerMs = 0.0275;
    double position = 0;
    bool stopped = false;
    bool axisVisible[3] = {true, true, true};
};

class GSensorCurveView {
  public:
    virtual ~GSensorCurveView() = default;
    virtual GSensorCurveState& CurveState() = 0;
    virtual void RecalcScale() = 0;
    virtual bool SetPosition(int milliseconds) = 0;
    virtual void Redraw() = 0;
};

class MapView {
  public:
    virtual ~MapView() = default;
    virtual void RunScript(const QString& script) = 0;
    // Puts the car at the position in decimal degrees. The track stored it
    // in the given form, which the page types other than the two maps are
    // sent instead.
    virtual void MovePosition(double latitude, double longitude, StoredCoordinates stored) = 0;
};

// The front video surface, which shows how many files the scan examined.
class ScanCounterView {
  public:
    virtual ~ScanCounterView() = default;
    virtual void ShowScanCount(int count) = 0;
};
