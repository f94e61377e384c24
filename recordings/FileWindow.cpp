#include "recordings/FileWindow.h"

#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

bool FileWindow::Open(const QString& path) {
    Close();
    length = 0;
    bytesRead = 0;
    readCount = 0;
    for (Window& w : windows)
        w.size = 0;
    fd = RegularFile::OpenReadOnly(QFile::encodeName(path), &length);
    owned = true;
    return fd >= 0;
}

void FileWindow::Borrow(int descriptor, uint64_t size, const QByteArray& head) {
    Close();
    bytesRead = 0;
    readCount = 0;
    for (Window& w : windows)
        w.size = 0;
    fd = descriptor;
    length = size;
    owned = false;
    if (head.isEmpty() || uint64_t(head.size()) > size)
        return;
    Window& w = windows[0];
    if (w.capacity < size_t(head.size())) {
        w.bytes.reset(new uint8_t[size_t(head.size())]);
        w.capacity = size_t(head.size());
    }
    std::memcpy(w.bytes.get(), head.constData(), size_t(head.size()));
    w.start = 0;
    w.size = size_t(head.size());
    w.lastUse = ++uses;
    bytesRead = uint64_t(head.size());
    readCount = 1;
}

void FileWindow::Close() {
    if (fd >= 0 && owned)
        ::close(fd);
    fd = -1;
}

size_t FileWindow::ReadFile(uint64_t pos, size_t n, uint8_t* into) {
    size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd, into + done, n - done, off_t(pos + done));
        ++readCount;
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // the rest reads as zero
        done += size_t(got);
    }
    bytesRead += done;
    return done;
}

const FileWindow::Window* FileWindow::Holding(uint64_t pos, size_t n) {
    for (Window& w : windows) {
        if (pos >= w.start && pos - w.start <= w.size && w.size - (pos - w.start) >= n) {
            w.lastUse = ++uses;
            return &w;
        }
    }
    return nullptr;
}

const FileWindow::Window& FileWindow::Load(uint64_t pos, size_t n) {
    Window& w =
        *std::min_element(windows.begin(), windows.end(),
                          [](const Window& a, const Window& b) { return a.lastUse < b.lastUse; });
    if (w.capacity < n) {
        w.bytes.reset(new uint8_t[n]);
        w.capacity = n;
    }
    w.start = pos;
    w.size = ReadFile(pos, n, w.bytes.get());
    w.lastUse = ++uses;
    return w;
}

size_t FileWindow::ReadAt(uint64_t pos, void* buffer, size_t n) {
    std::memset(buffer, 0, n);
    if (fd < 0 || pos >= length)
        return 0;
    const size_t wanted = size_t(std::min<uint64_t>(n, length - pos));
    if (const Window* w = Holding(pos, wanted)) {
        std::memcpy(buffer, w->bytes.get() + (pos - w->start), wanted);
        return wanted;
    }
    // Bulk reads go straight to the caller and leave the windows alone.
    if (wanted >= kBlock)
        return ReadFile(pos, wanted, static_cast<uint8_t*>(buffer));
    const Window& w = Load(pos, size_t(std::min<uint64_t>(kBlock, length - pos)));
    const size_t got = std::min(wanted, w.size);
    std::memcpy(buffer, w.bytes.get(), got);
    return got;
}

void FileWindow::Hold(uint64_t pos, uint64_t n) {
    if (fd < 0 || pos >= length || n > kLargestHold)
        return;
    const size_t wanted = size_t(std::min(std::max<uint64_t>(n, kBlock), length - pos));
    if (!Holding(pos, wanted))
        Load(pos, wanted);
}

uint64_t FileWindow::NextDataAt(uint64_t pos) const {
    if (fd < 0 || pos >= length)
        return length;
    const off_t data = ::lseek(fd, off_t(pos), SEEK_DATA);
    if (data < 0)
        return errno == ENXIO ? length : pos; // ENXIO: nothing but hole
    return std::min<uint64_t>(uint64_t(data), length);
}
