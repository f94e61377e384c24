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

// Closing a reading context also ends its share of libav's messages about
// the file (see LibavLog).
struct InputCloser {
    void operator()(AVFormatContext* c) const;
};
struct CodecCloser {
    void operator()(AVCodecContext* c) const;
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
// reason in *error. libav's messages about the file are gathered into one
// line naming it, written when the file and its decoders are closed.
InputPtr OpenInput(const QString& path, QString* error);

// The same for copying packets: an MP4/MOV file's header describes its
// streams fully for that, so no picture is decoded to learn them (the
// costliest part of opening a 1080p file); other files as above.
InputPtr OpenInputToCopy(const QString& path, QString* error);

// The next packet of the input (av_read_frame), libav's messages while
// reading it counted as the file's.
int ReadPacket(AVFormatContext* input, AVPacket* packet);

// Where a stream's time starts, in its own ticks (0 when the file says not).
int64_t StreamStart(const AVStream* stream);

// From here on only `stream` of the input is read.
void KeepOnlyStream(AVFormatContext* input, int stream);

// Moves the input to the key frame at or before `ms` from the stream's start
// (the file's start for 0), so that decoding from there reaches that time.
void SeekBefore(AVFormatContext* input, int stream, int64_t ms);

// A decoder for the stream, opened; null with the reason in *error. Its
// messages count as the input's when the input is given.
CodecPtr OpenDecoder(const AVStream* stream, QString* error,
                     const AVFormatContext* input = nullptr);
