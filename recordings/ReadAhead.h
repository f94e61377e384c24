#pragma once
#include <QString>
#include <deque>
#include <functional>

// Runs a scan's steps a few files behind its walk and, as each file is
// walked, asks the kernel for the bytes its parse will read: the head and the
// end of the file. On a cold card the reads of several files are then in
// flight at once instead of one after the other; on a warm one they cost a
// few cheap calls.
class ReadAhead {
  public:
    // Bytes asked for at the end of a file, where the movie box of a
    // recording usually lies.
    static constexpr uint64_t kTail = 64 << 10;

    explicit ReadAhead(size_t distance = 16) : distance(distance) {}
    ~ReadAhead() { Finish(); }
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // Asks for the file at path (none when empty) now and runs step once
    // `distance` later steps have been added, or at Finish. Steps run in the
    // order they were added.
    void Add(const QString& path, std::function<void()> step);
    // Runs the steps still waiting.
    void Finish();

  private:
    size_t distance;
    std::deque<std::function<void()>> waiting;
};
