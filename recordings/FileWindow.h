#pragma once
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>

// A file read through windows of its bytes held in memory. A parser asks for
// a few bytes at a time; a read that misses refills the least recently used
// window with one large read, so a file costs a few system calls: typically
// one for its head and one for the boxes at its end.
class FileWindow {
  public:
    // Bytes brought in by a read that misses, unless more are asked for.
    static constexpr size_t kBlock = 8 << 10;
    // A range larger than this is never held whole: its parts are read as
    // they are asked for.
    static constexpr uint64_t kLargestHold = 4 << 20;

    FileWindow() = default;
    ~FileWindow() { Close(); }
    FileWindow(const FileWindow&) = delete;
    FileWindow& operator=(const FileWindow&) = delete;

    // Opens a regular file only, without blocking: a FIFO put in a
    // recording's place would block the scan, a device be read without end.
    bool Open(const QString& path);
    // Reads a file its caller opened (as Open would) and closes it itself:
    // Close leaves it open. `head`, when given, holds the file's first bytes
    // as the caller read them (counted as one read): they are not read again.
    void Borrow(int descriptor, uint64_t size, const QByteArray& head = {});
    void Close();
    bool IsOpen() const { return fd >= 0; }
    // The size of the open file (kept after Close); 0 when none was opened.
    uint64_t Length() const { return length; }

    // Copies n bytes at pos into buffer; bytes past the end of the file read
    // as zero. Returns how many came from the file.
    size_t ReadAt(uint64_t pos, void* buffer, size_t n);
    // Brings [pos, pos + n) into a window with one read, unless it is there
    // already or larger than kLargestHold.
    void Hold(uint64_t pos, uint64_t n);
    // Where the next data at or after pos lies: the end of a hole of a sparse
    // file (which reads as zeros), Length() when only a hole is left, or pos.
    uint64_t NextDataAt(uint64_t pos) const;

    // What was read from the file since it was opened, and in how many reads.
    uint64_t BytesRead() const { return bytesRead; }
    int ReadCount() const { return readCount; }

  private:
    struct Window {
        uint64_t start = 0;
        size_t size = 0; // bytes of the file held
        size_t capacity = 0;
        std::unique_ptr<uint8_t[]> bytes;
        uint64_t lastUse = 0;
    };

    // Reads up to n bytes at pos straight into `into`; how many came.
    size_t ReadFile(uint64_t pos, size_t n, uint8_t* into);
    // The window holding [pos, pos + n), or nullptr.
    const Window* Holding(uint64_t pos, size_t n);
    // Fills the least recently used window from pos with n bytes at most.
    const Window& Load(uint64_t pos, size_t n);

    int fd = -1;
    bool owned = true; // closed by Close
    uint64_t length = 0;
    uint64_t uses = 0;
    uint64_t bytesRead = 0;
    int readCount = 0;
    std::array<Window, 2> windows;
};
