#pragma once
// Sets a catalog's current recording directly, for tests that need a state
// the selection operations do not make in one step: a current file without
// list rows, an index left past the end of a list that shrank, or a track
// made in memory rather than read from a file.
#include "recordings/RecordingCatalog.h"

struct CatalogStaging {
    static void SetCurrentFile(RecordingCatalog& catalog, int32_t index) {
        catalog.currentFile_ = index;
    }
    static Track& TrackOf(RecordingCatalog& catalog) { return catalog.track_; }
    static void SetTrack(RecordingCatalog& catalog, Track track) {
        catalog.track_ = std::move(track);
    }
};
