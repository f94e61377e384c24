#pragma once
// The source recordings' SHA-256, computed as a background job while the
// clip is written: on two cores the copy and the hashing overlap. Size,
// modification time and hash come from one open file, which stays open
// until the export ends, so a source that changes meanwhile (a recording
// still being appended to, a file put in its place) is found.
#include "platform/BackgroundJob.h"

#include <QHash>
#include <QStringList>
#include <memory>
#include <sys/stat.h>

struct SourceState {
    QByteArray sha256; // lower-case hex; empty when the file could not be read
    int64_t size = 0;
    int64_t modifiedMs = 0; // ms since 1970 UTC
    QString error;          // why the file could not be read, naming it
};

class ClipSourceHashes {
  public:
    explicit ClipSourceHashes(QStringList paths);
    ClipSourceHashes(const ClipSourceHashes&) = delete;
    ClipSourceHashes& operator=(const ClipSourceHashes&) = delete;
    // Stops the hashing early when the results are not wanted.
    ~ClipSourceHashes();

    // Waits for the hashing.
    const QHash<QString, SourceState>& Wait();

    // After the clip is written: false with the reason, naming the first
    // source whose size or modification time differs from when it was
    // hashed, or whose name now leads to another file.
    bool Unchanged(QString* error);

    // The sources as the hashing opened them; closed with the last holder.
    struct OpenFiles {
        struct Open {
            int fd = -1;
            struct stat before {};
        };
        QHash<QString, Open> byPath;
        OpenFiles() = default;
        OpenFiles(const OpenFiles&) = delete;
        OpenFiles& operator=(const OpenFiles&) = delete;
        ~OpenFiles();
    };
    struct Hashed {
        QHash<QString, SourceState> states;
        std::shared_ptr<OpenFiles> open = std::make_shared<OpenFiles>();
    };

  private:
    QStringList paths_;
    Hashed hashed_;
    bool waited_ = false;
    BackgroundJob job_;
};
