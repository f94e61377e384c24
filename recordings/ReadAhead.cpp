#include "recordings/ReadAhead.h"

#include "platform/RegularFile.h"
#include "recordings/FileWindow.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Opens the file and asks for its head and its end; the descriptor, or -1.
int AskFor(const QString& path, uint64_t* size) {
    const int fd = RegularFile::OpenReadOnly(QFile::encodeName(path), size);
    if (fd < 0)
        return -1;
    // Only a hint: the reads start now and the call does not wait for them.
    ::posix_fadvise(fd, 0, off_t(FileWindow::kBlock), POSIX_FADV_WILLNEED);
    if (*size > FileWindow::kBlock) {
        const uint64_t tail =
            std::max<uint64_t>(FileWindow::kBlock, *size - std::min(*size, ReadAhead::kTail));
        ::posix_fadvise(fd, off_t(tail), off_t(*size - tail), POSIX_FADV_WILLNEED);
    }
    return fd;
}

} // namespace

void ReadAhead::Add(const QString& path, std::function<void()> step) {
    Waiting next;
    next.step = std::move(step);
    if (!path.isEmpty())
        next.fd = AskFor(path, &next.size);
    waiting.push_back(std::move(next));
    while (waiting.size() > distance)
        RunFirst();
}

void ReadAhead::Finish() {
    while (!waiting.empty())
        RunFirst();
}

int ReadAhead::StepFile(uint64_t* size) const {
    if (!running)
        return -1;
    *size = running->size;
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
