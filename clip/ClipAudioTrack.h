#pragma once
// The front camera's sound across the pieces of a clip, encoded as AAC:
// each piece gives exactly its span's samples (silence where the file has
// none), so sound and picture stay together across the seams.
#include "clip/ClipSpan.h"
#include "clip/LibavHandles.h"

#include <functional>
#include <vector>

class ClipAudioTrack {
  public:
    explicit ClipAudioTrack(std::vector<ClipPiece> pieces);

    // False with the reason, naming the file, when the first piece has no
    // sound or it cannot be read (the clip is then silent).
    bool Probe(QString* error);

    // Adds the AAC stream to the output; call before the header is written.
    // False with the reason when the sound cannot be encoded as AAC (its
    // sample rate, say); nothing is added then.
    bool AddStream(AVFormatContext* output, QString* error);

    using PacketSink = std::function<int(AVPacket*)>;
    // Encodes the sound up to clip time ms, handing packets (stamped in the
    // stream's time base) to sink; negative on a failure.
    int EncodeUntil(int64_t clipMs, const PacketSink& sink, QString* error);
    // The rest up to clip time untilMs, and the encoder's tail.
    int Finish(const PacketSink& sink, QString* error, int64_t untilMs);

  private:
    bool OpenPiece(size_t index, QString* error);
    int Fill(int64_t untilSample, QString* error);
    int Append(const uint8_t* const* data, int count);
    int AppendSilence(int64_t count);
    int Encode(bool flush, const PacketSink& sink, QString* error);
    int Send(AVFrame* frame, const PacketSink& sink, QString* error);

    std::vector<ClipPiece> pieces_;
    int sampleRate_ = 0;
    AVChannelLayout layout_{};
    size_t piece_ = 0;
    bool pieceOpen_ = false;
    int64_t pieceFirstSample_ = 0; // clip sample where the current piece starts
    int64_t pieceEndSample_ = 0;
    int64_t written_ = 0; // samples put into the fifo
    int64_t encoded_ = 0; // samples handed to the encoder
    InputPtr input_;
    CodecPtr decoder_;
    int stream_ = -1;
    bool inputDone_ = false;
    SwrPtr resampler_;
    FifoPtr fifo_;
    CodecPtr encoder_;
    AVStream* outStream_ = nullptr;
    FramePtr frame_ = NewFrame();
    PacketPtr packet_ = NewPacket();
};
