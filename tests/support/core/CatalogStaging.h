#pragma once
// Sets a catalog's current recording directly, for tests that need a state
// the selection operations do not make in one step: a current file without
// list rows, or an index left past the end of a list that shrank.
#include "recordings/RecordingCatalog.h"

struct CatalogStaging {
    static void SetCurrentFile(RecordingCatalog& catalog, int32_t index) {
        catalog.currentFile_ = index;
    }
};
