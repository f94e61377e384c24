#pragma once
// The source recordings' SHA-256, computed on a thread of its own while the
// clip is written: on two cores the copy and the hashing overlap.
#include <QHash>
#include <QStringList>
#include <atomic>
#include <thread>

class ClipSourceHashes {
  public:
    explicit ClipSourceHashes(QStringList paths);
    ClipSourceHashes(const ClipSourceHashes&) = delete;
    ClipSourceHashes& operator=(const ClipSourceHashes&) = delete;
    // Stops the hashing early when the results are not wanted.
    ~ClipSourceHashes();

    // Waits for the hashing; a path's hash is empty when it could not be read.
    const QHash<QString, QByteArray>& Wait();

  private:
    QStringList paths_;
    QHash<QString, QByteArray> hashes_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
