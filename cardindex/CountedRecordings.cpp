#include "cardindex/CountedRecordings.h"

#include "recordings/CameraPairing.h"

#include <QHash>

std::vector<bool> CountedRecordings(const std::vector<IndexedRecording>& recordings) {
    QHash<QString, int> byPath;
    for (size_t i = 0; i < recordings.size(); ++i)
        byPath.insert(recordings[i].path, int(i));
    std::vector<bool> counted(recordings.size(), true);
    for (size_t i = 0; i < recordings.size(); ++i) {
        if (!recordings[i].rear)
            continue;
        const QString front = FrontPathFor(recordings[i].path);
        if (!front.isEmpty() && front != recordings[i].path && byPath.contains(front))
            counted[i] = false;
    }
    return counted;
}
