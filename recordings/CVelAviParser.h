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

    bool truncated = false;
};
