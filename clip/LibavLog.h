#pragma once
// libav's messages through the program's log (category "halvex.libav"):
// what libav says while a recording is read is gathered into one line that
// names the file, written when the file is closed, instead of a line of its
// own for each damaged picture. Messages of no known file are written as
// they come, a repeated one only now and then.
#include <QString>

namespace LibavLog {

// Routes libav's messages here; once, from any thread.
void Install();

// A tally of the messages about one file; the handle goes into the opaque
// field of the contexts reading it (LibavHandles does this).
void* Open(const QString& path);
// One more context counting into the same tally.
void* Share(void* tally);
// A context is done with it; the last one writes the tally's line.
void Close(void* tally);

// While alive, messages on this thread of contexts with no tally of their
// own count into `tally`: libav's helpers inside a demuxer (its parser, the
// decoder that probes the streams) carry no mark of the file.
class Reading {
  public:
    explicit Reading(void* tally);
    ~Reading();
    Reading(const Reading&) = delete;
    Reading& operator=(const Reading&) = delete;

  private:
    void* previous_;
};

} // namespace LibavLog
