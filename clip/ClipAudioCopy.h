#pragma once
// The front camera's sound across the pieces of a clip, its packets copied
// as they are when every piece holds sound of one kind that MP4 takes
// (the cameras' AAC): no decoding and no second generation of loss. Each
// piece gives the packets starting within its span, moved to follow the
// piece before, as the picture's packets are.
#include "clip/ClipSpan.h"
#include "clip/LibavHandles.h"

#include <functional>
#include <vector>

class ClipAudioCopy {
  public:
    explicit ClipAudioCopy(std::vector<ClipPiece> pieces);
    ClipAudioCopy(const ClipAudioCopy&) = delete;
    ClipAudioCopy& operator=(const ClipAudioCopy&) = delete;

    // True when the packets can be copied into a file of this format; false
    // when a piece has no readable sound or its kind differs from the first
    // piece's (the sound is then encoded anew).
    bool Probe(const AVOutputFormat* format);

    // Adds the stream to the output; call before the header is written.
    bool AddStream(AVFormatContext* output, QString* error);

    using PacketSink = std::function<int(AVPacket*)>;
    // Hands sink the packets starting up to clip time ms; negative on a failure.
    int CopyUntil(int64_t clipMs, const PacketSink& sink, QString* error);
    // The rest.
    int Finish(const PacketSink& sink, QString* error);

  private:
    // The next packet of the clip into packet_, stamped in the output's time
    // base: 1, 0 when there are no more, negative on a failure.
    int Next(QString* error);

    struct Source {
        InputPtr input;
        int stream = -1;
    };
    std::vector<ClipPiece> pieces_;
    std::vector<Source> sources_;
    AVStream* out_ = nullptr;
    size_t piece_ = 0;
    bool seeked_ = false;
    int64_t pieceClipMs_ = 0;
    int64_t lastDts_ = AV_NOPTS_VALUE;
    bool pending_ = false;
    PacketPtr packet_ = NewPacket();
};
