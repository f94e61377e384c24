#pragma once
// One import into a library at a time: the lock is held on a file of the
// library for as long as this object lives, and released by the system when
// the process ends however it ends.
#include <QString>

class LibraryLock {
  public:
    LibraryLock() = default;
    ~LibraryLock();
    LibraryLock(const LibraryLock&) = delete;
    LibraryLock& operator=(const LibraryLock&) = delete;

    // Takes the lock without waiting; when another process holds it, false
    // and `why` names that process.
    bool TryTake(const QString& library, QString* why);

  private:
    int fd_ = -1;
};
