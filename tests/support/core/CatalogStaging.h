#pragma once
// Sets a catalog's current recording directly, for tests that need a state
// the selection operations do not make in one step: a current file without
// list rows, an index left past the end of a list that shrank, a track made
// in memory rather than read from a file, or files listed without a scan.
#include "recordings/RecordingCatalog.h"

struct CatalogStaging {
    static void SetCurrentFile(RecordingCatalog& catalog, int32_t index) {
        catalog.currentFile_ = index;
    }
    static Track& TrackOf(RecordingCatalog& catalog) { return catalog.track_; }
    static std::vector<RecordingFile>& Files(RecordingCatalog& catalog) { return catalog.files; }
    static std::vector<RecordingGroup>& Groups(RecordingCatalog& catalog) { return catalog.groups; }
    static std::vector<FileListRow>& Rows(RecordingCatalog& catalog) { return catalog.rows; }
    static void SetTrack(RecordingCatalog& catalog, Track track) {
        catalog.track_ = std::move(track);
    }
};
