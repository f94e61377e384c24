#pragma once
// Owning handles for the libav* objects the clip export keeps, so every
// early return frees them.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

#include <QString>
#include <memory>

struct InputCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct GraphFreer {
    void operator()(AVFilterGraph* g) const { avfilter_graph_free(&g); }
};
struct SwrFreer {
    void operator()(SwrContext* s) const { swr_free(&s); }
};
struct FifoFreer {
    void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};

using InputPtr = std::unique_ptr<AVFormatContext, InputCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecCloser>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using GraphPtr = std::unique_ptr<AVFilterGraph, GraphFreer>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFreer>;
using FifoPtr = std::unique_ptr<AVAudioFifo, FifoFreer>;

inline FramePtr NewFrame() {
    return FramePtr(av_frame_alloc());
}
inline PacketPtr NewPacket() {
    return PacketPtr(av_packet_alloc());
}

// libav's text for an error code.
QString AvErrorText(int code);

// Opens a file for reading with its stream information; null with the
// reason in *error.
InputPtr OpenInput(const QString& path, QString* error);

// The same for copying packets: an MP4/MOV file's header describes its
// streams fully for that, so no picture is decoded to learn them (the
// costliest part of opening a 1080p file); other files as above.
InputPtr OpenInputToCopy(const QString& path, QString* error);

// Where a stream's time starts, in its own ticks (0 when the file says not).
int64_t StreamStart(const AVStream* stream);

// From here on only `stream` of the input is read.
void KeepOnlyStream(AVFormatContext* input, int stream);

// Moves the input to the key frame at or before `ms` from the stream's start
// (the file's start for 0), so that decoding from there reaches that time.
void SeekBefore(AVFormatContext* input, int stream, int64_t ms);

// A decoder for the stream, opened; null with the reason in *error.
CodecPtr OpenDecoder(const AVStream* stream, QString* error);
