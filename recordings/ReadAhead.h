#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <deque>
#include <functional>

// Runs a scan's steps a few files behind its walk and, as each file is
// walked, asks the kernel for the bytes its parse will read: the head and the
// end of the file. On a cold card the reads of several files are then in
// flight at once instead of one after the other. A file whose head is in the
// page cache already (a warm card) is not hinted: its head is read at once,
// without waiting, and handed to its step's parse.
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
    // The same for a file its caller opened (-1 for none): the descriptor is
    // the read-ahead's from now on, and closed when its step returns.
    void Add(int fd, uint64_t size, std::function<void()> step);
    // Runs the steps still waiting.
    void Finish();
    // While a step runs: the file asked for with it, open (-1 when there is
    // none), its size and, when it was cached, its head (the first
    // FileWindow::kBlock bytes at most). It is closed when the step returns;
    // meanwhile the step's parse reads it instead of opening the file again.
    int StepFile(uint64_t* size, QByteArray* head = nullptr) const;

  private:
    struct Waiting {
        std::function<void()> step;
        int fd = -1;
        uint64_t size = 0;
        QByteArray head;
    };
    void RunFirst();

    size_t distance;
    std::deque<Waiting> waiting;
    const Waiting* running = nullptr;
};
