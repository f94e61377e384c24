#pragma once
// The recordings a clip may draw from, as the scan lists them.
#include "clip/ClipSpan.h"

class RecordingCatalog;

// One listed recording: its front file with the rear partner, or a rear
// file that has no front one.
ClipSource ClipSourceOf(const RecordingFile& file, const QString& path);

// Every moment of the catalog once (a rear file whose front partner exists
// is left out), sorted by start; with group >= 0 only that group's.
std::vector<ClipSource> ClipSourcesOfCatalog(const RecordingCatalog& catalog, int group = -1);
