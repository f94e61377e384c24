#include "recordings/ReadAhead.h"

#include "platform/RegularFile.h"
#include "recordings/FileWindow.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

// The file's head when the page cache holds it all, read without waiting;
// empty when any of it would have to come from the disk.
QByteArray CachedHead(int fd, uint64_t size) {
    const size_t n = size_t(std::min<uint64_t>(size, FileWindow::kBlock));
    QByteArray head(qsizetype(n), Qt::Uninitialized);
    iovec into{head.data(), n};
    const ssize_t got = n ? ::preadv2(fd, &into, 1, 0, RWF_NOWAIT) : -1;
    if (got != ssize_t(n))
        return {};
    return head;
}

// Asks for the file's head and its end, in one call where they meet.
void AskFor(int fd, uint64_t size) {
    // Only a hint: the reads start now and the call does not wait for them.
    const uint64_t tail =
        std::max<uint64_t>(FileWindow::kBlock, size - std::min(size, ReadAhead::kTail));
    if (tail <= FileWindow::kBlock) {
        ::posix_fadvise(fd, 0, off_t(size), POSIX_FADV_WILLNEED);
        return;
    }
    ::posix_fadvise(fd, 0, off_t(FileWindow::kBlock), POSIX_FADV_WILLNEED);
    ::posix_fadvise(fd, off_t(tail), off_t(size - tail), POSIX_FADV_WILLNEED);
}

} // namespace

void ReadAhead::Add(const QString& path, std::function<void()> step) {
    uint64_t size = 0;
    const int fd = path.isEmpty() ? -1 : RegularFile::OpenReadOnly(QFile::encodeName(path), &size);
    Add(fd, size, std::move(step));
}

void ReadAhead::Add(int fd, uint64_t size, std::function<void()> step) {
    Waiting next;
    next.step = std::move(step);
    next.fd = fd;
    next.size = size;
    if (fd >= 0) {
        next.head = CachedHead(fd, size);
        if (next.head.isEmpty())
            AskFor(fd, size);
    }
    waiting.push_back(std::move(next));
    while (waiting.size() > distance)
        RunFirst();
}

void ReadAhead::Finish() {
    while (!waiting.empty())
        RunFirst();
}

int ReadAhead::StepFile(uint64_t* size, QByteArray* head) const {
    if (!running)
        return -1;
    *size = running->size;
    if (head)
        *head = running->head;
    return running->fd;
}

void ReadAhead::RunFirst() {
    const Waiting first = std::move(waiting.front());
    waiting.pop_front();
    running = &first;
    first.step();
    running = nullptr;
    if (first.fd >= 0)
        ::close(first.fd);
}
