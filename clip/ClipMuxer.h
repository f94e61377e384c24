#pragma once
// The MP4 file a clip is written into, with its index at the front. Every
// write checks for a failure (a full disk shows first here), so a clip is
// never reported done when its file is not whole.
#include "clip/LibavHandles.h"

class ClipMuxer {
  public:
    ClipMuxer() = default;
    ClipMuxer(const ClipMuxer&) = delete;
    ClipMuxer& operator=(const ClipMuxer&) = delete;
    ~ClipMuxer();

    bool Create(const QString& path, QString* error);
    AVFormatContext* Context() const { return context_; }
    bool WriteHeader(QString* error);
    // Takes the packet's data; negative on a failure.
    int Write(AVPacket* packet, QString* error);
    // Writes the index and closes the file; false when any of it failed.
    bool Finish(QString* error);

  private:
    AVFormatContext* context_ = nullptr;
    bool headerWritten_ = false;
    bool closed_ = false;
};
