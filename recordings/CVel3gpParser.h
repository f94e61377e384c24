#pragma once
#include "recordings/CVelVideoParser.h"

#include <initializer_list>

// MOV (ISO base media) recordings in either of the camera's two layouts:
// layout A keeps its data in a metadata track (variant 1), layout B in
// top-level boxes of the camera's own (variant 0).
class CVel3gpParser : public CVelVideoParser {
  public:
    CVel3gpParser() = default;

    void SetInfo(RecordingInfo* info) override;
    int Parse(const QString& path) override;

    static constexpr int kLayoutMetadataTrack = 1;
    static constexpr int kLayoutCameraBoxes = 0;
    static constexpr int kNoLayout = -1;

    // The probe's result for the last Parse.
    int Layout() const { return layout; }

  private:
    struct Box {
        uint64_t start = 0;        // first byte of the header
        uint64_t payloadStart = 0; // first byte after the header
        uint64_t payloadSize = 0;
        uint32_t type = 0;
    };

    // Reads the header at pos; false when it is cut off or its size is not
    // one a box can have (then the walk or search ends).
    bool ReadBox(uint64_t pos, Box* box);
    // The first box of either type among the boxes from start, limit bytes.
    bool FindChildOf(uint32_t type, uint32_t otherType, uint64_t start, uint64_t limit, Box* found);
    bool FindChild(uint32_t type, uint64_t start, uint64_t limit, Box* found);
    bool FindSampleEntry(uint64_t start, uint64_t limit, Box* found);
    bool FindPath(std::initializer_list<uint32_t> types, uint64_t start, uint64_t limit,
                  Box* found);
    uint32_t ReadU32(uint64_t pos);
    // The movie box is walked many times over: it is read in one go.
    void HoldWhole(const Box& box);

    // Sets layout from the first top-level box that tells.
    void Probe();
    // Starts a walk: false unless the file begins with "ftyp"; *p is where
    // the box after it starts.
    bool CheckFtyp(uint64_t* p);
    int WalkMetadataTrackLayout();
    int WalkCameraBoxLayout();
    void ProcessMoovMetadataTrack(const Box& moov);
    void ProcessMoovCameraBoxes(const Box& moov);
    // Duration from an "mvhd" or "mdhd" payload; a time scale of 0 gives none.
    void ReadMediaDuration(const Box& header);
    void ReadVideoSize(const Box& moov, bool anySampleEntry);

    int layout = kNoLayout;
    bool videoMarker = false;
    std::vector<MetaChunkEntry> metaChunks;
    // Chunk-table entries looked at so far, all tables together; bounded by
    // the records the recording can hold.
    uint64_t tableEntriesSeen = 0;
};
