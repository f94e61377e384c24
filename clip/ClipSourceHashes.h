#pragma once
// The source recordings' SHA-256, computed on a thread of its own while the
// clip is written: on two cores the copy and the hashing overlap. Size,
// modification time and hash come from one open file, which stays open
// until the export ends, so a source that changes meanwhile (a recording
// still being appended to, a file put in its place) is found.
#include <QHash>
#include <QStringList>
#include <atomic>
#include <sys/stat.h>
#include <thread>

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

  private:
    struct Open {
        int fd = -1;
        struct stat before {};
    };
    void Hash();

    QStringList paths_;
    QHash<QString, SourceState> states_;
    QHash<QString, Open> open_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
