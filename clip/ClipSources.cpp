#include "clip/ClipSources.h"

#include "recordings/CameraPairing.h"
#include "recordings/RecordingCatalog.h"
#include "recordings/TripModel.h"

#include <algorithm>

ClipSource ClipSourceOf(const RecordingFile& file, const QString& path) {
    ClipSource s;
    // A rear file stands for its moment: the front partner, when there is one, leads.
    if (IsRearCameraPath(path)) {
        s.rear = path;
        s.front = FrontPathFor(path);
        if (s.front == path)
            s.front.clear();
    } else {
        s.front = path;
        s.rear = RearPathFor(path);
    }
    s.startMs = file.info.StartMs();
    s.durationMs =
        file.info.durationMs ? int64_t(file.info.durationMs) : file.info.durationSeconds * 1000;
    s.file = file;
    return s;
}

std::vector<ClipSource> ClipSourcesOfCatalog(const RecordingCatalog& catalog, int group) {
    std::vector<ClipSource> sources;
    for (int i : MomentFileIndices(catalog, [group](int g) { return group < 0 || g == group; }))
        sources.push_back(ClipSourceOf(catalog.Files()[size_t(i)], catalog.GetFilePath(i)));
    std::stable_sort(sources.begin(), sources.end(), [](const ClipSource& a, const ClipSource& b) {
        return a.startMs < b.startMs;
    });
    return sources;
}
