#include "recordings/ReadAhead.h"

#include "platform/RegularFile.h"
#include "recordings/FileWindow.h"

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace {

void AskFor(const QString& path) {
    uint64_t size = 0;
    const int fd = RegularFile::OpenReadOnly(QFile::encodeName(path), &size);
    if (fd < 0)
        return;
    // Only a hint: the reads start now and the call does not wait for them.
    ::posix_fadvise(fd, 0, off_t(FileWindow::kBlock), POSIX_FADV_WILLNEED);
    if (size > FileWindow::kBlock) {
        const uint64_t tail =
            std::max<uint64_t>(FileWindow::kBlock, size - std::min(size, ReadAhead::kTail));
        ::posix_fadvise(fd, off_t(tail), off_t(size - tail), POSIX_FADV_WILLNEED);
    }
    ::close(fd);
}

} // namespace

void ReadAhead::Add(const QString& path, std::function<void()> step) {
    if (!path.isEmpty())
        AskFor(path);
    waiting.push_back(std::move(step));
    while (waiting.size() > distance) {
        const std::function<void()> next = std::move(waiting.front());
        waiting.pop_front();
        next();
    }
}

void ReadAhead::Finish() {
    while (!waiting.empty()) {
        const std::function<void()> next = std::move(waiting.front());
        waiting.pop_front();
        next();
    }
}
