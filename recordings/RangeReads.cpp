#include "recordings/RangeReads.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <liburing.h>
#include <unistd.h>

namespace RangeReads {

namespace {

// Reads what is left of a range from done on; the rest stays zero.
void Finish(int fd, uint64_t fileLength, const Range& range, size_t done) {
    const uint64_t inFile = range.offset < fileLength ? fileLength - range.offset : 0;
    const size_t wanted = size_t(std::min<uint64_t>(range.size, inFile));
    while (done < wanted) {
        const ssize_t n = ::pread(fd, range.into + done, wanted - done, off_t(range.offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += size_t(n);
    }
    std::memset(range.into + done, 0, range.size - std::min(done, range.size));
}

// Entries of the ring: reads in flight at once.
constexpr unsigned kRingEntries = 512;

// Set once a ring could not be made (a kernel without io_uring, or a sandbox
// that forbids it): later reads go one by one without asking again.
std::atomic<bool> ringRefused{false};

bool MakeRing(io_uring* ring) {
    if (ringRefused.load(std::memory_order_relaxed))
        return false;
    io_uring_params params{};
    // One thread submits and reaps; completions are run when it waits.
    params.flags = IORING_SETUP_SINGLE_ISSUER | IORING_SETUP_DEFER_TASKRUN;
    if (io_uring_queue_init_params(kRingEntries, ring, &params) == 0)
        return true;
    params = io_uring_params{}; // a kernel before 6.1 knows neither flag
    if (io_uring_queue_init_params(kRingEntries, ring, &params) == 0)
        return true;
    ringRefused.store(true, std::memory_order_relaxed);
    return false;
}

} // namespace

bool Batched() {
    io_uring ring;
    if (!MakeRing(&ring))
        return false;
    io_uring_queue_exit(&ring);
    return true;
}

void Read(int fd, uint64_t fileLength, const std::vector<Range>& ranges) {
    io_uring ring;
    if (ranges.size() < kFewest || !MakeRing(&ring)) {
        for (const Range& range : ranges)
            Finish(fd, fileLength, range, 0);
        return;
    }
    std::vector<char> finished;
    for (size_t first = 0; first < ranges.size();) {
        const size_t queued = std::min<size_t>(kRingEntries, ranges.size() - first);
        for (size_t i = first; i < first + queued; ++i) {
            const Range& range = ranges[i];
            const uint64_t inFile = range.offset < fileLength ? fileLength - range.offset : 0;
            io_uring_sqe* sqe = io_uring_get_sqe(&ring);
            io_uring_prep_read(sqe, fd, range.into,
                               unsigned(std::min<uint64_t>(range.size, inFile)), range.offset);
            io_uring_sqe_set_data64(sqe, i);
        }
        int submitted = io_uring_submit_and_wait(&ring, unsigned(queued));
        while (submitted == -EINTR)
            submitted = io_uring_submit_and_wait(&ring, unsigned(queued));
        // Every read the kernel took is waited for: it writes into our buffers.
        finished.assign(queued, 0);
        for (int reaped = 0; reaped < submitted;) {
            io_uring_cqe* cqe = nullptr;
            const int waited = io_uring_wait_cqe(&ring, &cqe);
            if (waited == -EINTR)
                continue;
            if (waited < 0 || !cqe)
                break;
            const size_t i = size_t(io_uring_cqe_get_data64(cqe));
            // A short or failed read is finished, or given up, as a plain
            // read would be.
            Finish(fd, fileLength, ranges[i], cqe->res > 0 ? size_t(cqe->res) : 0);
            finished[i - first] = 1;
            io_uring_cqe_seen(&ring, cqe);
            ++reaped;
        }
        const bool whole = submitted == int(queued) &&
                           std::find(finished.begin(), finished.end(), 0) == finished.end();
        if (!whole) {
            // The ring failed: it is left, and what it did not read is read
            // one by one.
            io_uring_queue_exit(&ring);
            for (size_t i = first; i < ranges.size(); ++i)
                if (i >= first + queued || !finished[i - first])
                    Finish(fd, fileLength, ranges[i], 0);
            return;
        }
        first += queued;
    }
    io_uring_queue_exit(&ring);
}

} // namespace RangeReads
