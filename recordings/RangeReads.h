#pragma once
// Many small reads of one file at once. A camera writes its metadata records
// between the video's chunks, so the records of a long recording lie far
// apart: read one by one, each costs a system call, dearer than the copy.
// Here they are handed to the kernel in batches through io_uring, where the
// kernel offers it, and read one after the other otherwise.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace RangeReads {

struct Range {
    uint64_t offset = 0;
    size_t size = 0;
    uint8_t* into = nullptr; // size bytes
};

// Fills each range's buffer with the file's bytes at its offset; bytes past
// the end of the file, or that the file would not give, read as zero. fd is
// a regular file of fileLength bytes, open for reading.
void Read(int fd, uint64_t fileLength, const std::vector<Range>& ranges);

// Whether reads are handed over in batches here: false where the kernel or
// a sandbox refuses io_uring.
bool Batched();

// Fewer ranges than this are read one by one: a ring costs more to set up
// than a few reads.
constexpr size_t kFewest = 16;

} // namespace RangeReads
