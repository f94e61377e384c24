#pragma once
#include "recordings/CVelVideoParser.h"

// RIFF AVI recordings: a forgiving forward walk that picks the camera's
// chunks out wherever they stand outside the "movi" list.
class CVelAviParser : public CVelVideoParser {
  public:
    CVelAviParser() = default;

    void SetInfo(RecordingInfo* info) override;
    int Parse(const QString& path) override;

  private:
    // Walks the file after the RIFF header; sets truncated when the "movi"
    // list reaches past the end.
    void Walk();
    // The first position p + 4k holding a token the walk acts on, or the
    // first one at or past the end: the same place stepping would reach.
    uint64_t NextWalkToken(uint64_t p);

    bool truncated = false;
};
