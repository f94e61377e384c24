#pragma once
// Keeping a card's recordings in a library: each file copied and checked
// (CardFileCopy), known again by the library's index (LibraryIndex) so that
// a second import copies only what is new, one import per library at a time
// (LibraryLock). The card is only read.
#include "library/KeepChoice.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

struct ImportRequest {
    QString card;
    QString library;
    KeepMode keep = KeepMode::All;
    // Where the card index of the card is cached while the keep modes read
    // its tracks ("" = not cached).
    QString cardCacheFolder;
};

struct ImportProgress {
    int filesDone = 0, filesTotal = 0;
    int64_t bytesDone = 0, bytesTotal = 0;
};

struct ImportSummary {
    struct LeftOutGroup {
        QString reason;
        int count = 0;
        double hours = 0;
        int64_t bytes = 0;
    };
    struct Failure {
        QString file; // below the card
        QString why;
    };

    bool started = false; // false: nothing was read or written, see `stopped`
    int recordings = 0;   // the recordings the card holds
    int copied = 0;
    int64_t copiedBytes = 0;
    int alreadyKept = 0;
    int64_t alreadyKeptBytes = 0;
    std::vector<LeftOutGroup> leftOut;
    std::vector<Failure> failed;
    QString stopped; // why the import ended early; "" when it went through
    bool cancelled = false;
    QString indexNote; // what the library's card index said, if anything

    bool Complete() const { return started && stopped.isEmpty() && !cancelled && failed.empty(); }
};

// Imports the card into the library (created when missing). `progress`
// (may be empty) hears after each piece copied; `cancelled` (may be empty)
// is asked as often and stops the import at once, leaving no partial file.
ImportSummary ImportCard(const ImportRequest& request,
                         const std::function<void(const ImportProgress&)>& progress,
                         const std::function<bool()>& cancelled);

// Brings the card index kept in the library up to its recordings; a note
// when the index had something to say.
QString RefreshLibraryIndex(const QString& library);
