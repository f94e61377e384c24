#pragma once
// Room to grow in a library: which drives may go, and deleting them on the
// user's word.
#include "cardindex/CardIndexTypes.h"

#include <QStringList>
#include <cstdint>
#include <vector>

struct PruneProposal {
    std::vector<int> trips; // oldest first
    QStringList paths;      // their recordings, front and rear
    uint64_t bytes = 0;
};

// The oldest drives, up to `most`, of which no recording (front or rear) is
// locked and during which nothing happened (no driving or camera event).
PruneProposal OldestQuietDrives(const std::vector<IndexedRecording>& recordings,
                                const std::vector<TripSummary>& trips,
                                const std::vector<DrivingEvent>& events, int most);

// Deletes kept recordings of the library and forgets them in its index.
// Only a plain file in one of the library's day folders is deleted; anything
// else, and any file while an import runs, is refused before a file is
// touched. False with *error saying why and which file.
bool DeleteKept(const QString& library, const QStringList& paths, QString* error);
