#include "clip/ClipSourceHashes.h"

#include "clip/ClipSha256.h"

ClipSourceHashes::ClipSourceHashes(QStringList paths) : paths_(std::move(paths)) {
    thread_ = std::thread([this] {
        for (const QString& path : paths_) {
            if (!hashes_.contains(path))
                hashes_.insert(path, FileSha256(path, &stop_));
        }
    });
}

ClipSourceHashes::~ClipSourceHashes() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

const QHash<QString, QByteArray>& ClipSourceHashes::Wait() {
    if (thread_.joinable())
        thread_.join();
    return hashes_;
}
