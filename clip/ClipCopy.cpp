#include "clip/ClipCopy.h"

#include "clip/ClipAudioCopy.h"
#include "clip/ClipAudioTrack.h"
#include "clip/ClipMuxer.h"
#include "clip/ClipVideoReader.h"

#include <algorithm>
#include <cmath>

namespace {

struct PieceInput {
    InputPtr input;
    int stream = -1;
};

bool OpenPiece(const QString& path, PieceInput* p, QString* error) {
    p->input = OpenInputToCopy(path, error);
    if (!p->input)
        return false;
    p->stream = av_find_best_stream(p->input.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (p->stream < 0) {
        *error = path + ": no video";
        return false;
    }
    KeepOnlyStream(p->input.get(), p->stream);
    return true;
}

struct KeySpan {
    bool found = false;
    int64_t inMs = 0, outMs = 0;
};

// Reads the piece's key frames: the last at or before its in-mark, the
// first at or after its out-mark (the file's end without one).
KeySpan ScanKeys(const PieceInput& p, const ClipPiece& piece, AVPacket* packet) {
    AVFormatContext* in = p.input.get();
    const AVStream* s = in->streams[p.stream];
    const double msPerTick = av_q2d(s->time_base) * 1000.0;
    KeySpan keys;
    int64_t keyOut = -1, endMs = 0;
    while (keyOut < 0 && av_read_frame(in, packet) >= 0) {
        if (packet->stream_index == p.stream && packet->pts != AV_NOPTS_VALUE) {
            const int64_t ms = std::llround((packet->pts - StreamStart(s)) * msPerTick);
            const bool key = packet->flags & AV_PKT_FLAG_KEY;
            if (key && ms <= piece.inMs) {
                keys.inMs = ms;
                keys.found = true;
            }
            if (key && ms >= piece.outMs)
                keyOut = ms;
            endMs = std::max<int64_t>(
                endMs, std::llround((packet->pts - StreamStart(s) + packet->duration) * msPerTick));
        }
        av_packet_unref(packet);
    }
    keys.outMs = keyOut >= 0 ? keyOut : endMs;
    return keys;
}

bool Rewind(PieceInput* p) {
    const AVStream* s = p->input->streams[p->stream];
    return av_seek_frame(p->input.get(), p->stream, StreamStart(s), AVSEEK_FLAG_BACKWARD) >= 0;
}

// The key frames around the piece's marks, read from the key frame before
// the in-mark on (the whole file when the seek misses it).
KeySpan FindKeySpan(PieceInput* p, const ClipPiece& piece, AVPacket* packet) {
    const AVStream* s = p->input->streams[p->stream];
    if (piece.inMs > 0) {
        const int64_t target = StreamStart(s) + av_rescale_q(piece.inMs, {1, 1000}, s->time_base);
        if (av_seek_frame(p->input.get(), p->stream, target, AVSEEK_FLAG_BACKWARD) >= 0) {
            const KeySpan keys = ScanKeys(*p, piece, packet);
            if (keys.found)
                return keys;
        }
        if (!Rewind(p))
            return {};
    }
    return ScanKeys(*p, piece, packet);
}

} // namespace

bool CopyClip(const ClipEncodeJob& job, const ClipProgress& progress, ClipEncodeResult* result,
              bool* copyable) {
    *copyable = true;
    const bool rear = job.options.layout == ClipLayout::Rear;
    QString error;
    std::vector<PieceInput> inputs(job.pieces.size());
    for (size_t i = 0; i < job.pieces.size(); ++i) {
        const QString path = PiecePath(job.pieces[i], rear);
        if (path.isEmpty()) {
            result->error = QStringLiteral("a recording of the clip has no %1 camera file")
                                .arg(rear ? "rear" : "front");
            return false;
        }
        if (!OpenPiece(path, &inputs[i], &error)) {
            result->error = error;
            return false;
        }
    }
    // MP4 wants H.264 with its parameter sets stored apart, all pieces alike.
    const AVCodecParameters* first = inputs[0].input->streams[inputs[0].stream]->codecpar;
    for (const PieceInput& p : inputs) {
        const AVCodecParameters* par = p.input->streams[p.stream]->codecpar;
        if (par->codec_id != AV_CODEC_ID_H264 || par->extradata_size <= 0 ||
            par->extradata[0] != 1 || par->width != first->width || par->height != first->height) {
            *copyable = false;
            return false;
        }
    }

    // Pass 1: where each piece's copy starts and ends, on key frames.
    std::vector<ClipPiece> spans = job.pieces;
    PacketPtr packet = NewPacket();
    for (size_t i = 0; i < inputs.size(); ++i) {
        const KeySpan keys = FindKeySpan(&inputs[i], job.pieces[i], packet.get());
        if (!keys.found) {
            *copyable = false;
            return false;
        }
        spans[i].inMs = keys.inMs;
        spans[i].outMs = keys.outMs;
        // Without a key frame at the out-mark the copy runs to the file's
        // end, which lies before the mark when the file is cut short.
        const AVStream* video = inputs[i].input->streams[inputs[i].stream];
        const double frameMs =
            video->avg_frame_rate.num > 0 ? 1000.0 / av_q2d(video->avg_frame_rate) : 100.0;
        if (keys.outMs < job.pieces[i].outMs - 2 * frameMs)
            result->notes << QStringLiteral("%1: its picture ends at %2 s, before the %3 s the "
                                            "clip takes from it (the file is cut short)")
                                 .arg(PiecePath(job.pieces[i], rear))
                                 .arg(keys.outMs / 1000.0, 0, 'f', 1)
                                 .arg(job.pieces[i].outMs / 1000.0, 0, 'f', 1);
        // Back to the first key frame for the copy, without opening the file anew.
        const AVStream* s = inputs[i].input->streams[inputs[i].stream];
        const int64_t key = StreamStart(s) + av_rescale_q(keys.inMs, {1, 1000}, s->time_base);
        if (av_seek_frame(inputs[i].input.get(), inputs[i].stream, key, AVSEEK_FLAG_BACKWARD) < 0 &&
            !Rewind(&inputs[i]) && !OpenPiece(PiecePath(job.pieces[i], rear), &inputs[i], &error)) {
            result->error = error;
            return false;
        }
    }

    ClipMuxer muxer;
    if (!muxer.Create(job.path, &error)) {
        result->error = error;
        return false;
    }
    AVStream* out = avformat_new_stream(muxer.Context(), nullptr);
    // The inputs were opened anew for the copy.
    first = inputs[0].input->streams[inputs[0].stream]->codecpar;
    avcodec_parameters_copy(out->codecpar, first);
    out->codecpar->codec_tag = 0;
    const AVStream* firstStream = inputs[0].input->streams[inputs[0].stream];
    out->time_base = firstStream->time_base;
    out->avg_frame_rate = firstStream->avg_frame_rate;
    // The sound copied like the picture where MP4 takes it, else encoded.
    ClipAudioCopy copiedSound(spans);
    ClipAudioTrack audio(spans);
    // Sound that cannot be read or encoded is left out with a note.
    const bool copySound = job.options.sound && copiedSound.Probe(muxer.Context()->oformat);
    bool sound = false;
    if (job.options.sound) {
        QString why;
        sound = copySound ? copiedSound.AddStream(muxer.Context(), &why)
                          : audio.Probe(&why) && audio.AddStream(muxer.Context(), &why);
        if (!sound)
            result->soundNote = why;
    }
    const auto soundUntil = [&](int64_t clipMs, const ClipAudioTrack::PacketSink& sink) {
        return copySound ? copiedSound.CopyUntil(clipMs, sink, &error)
                         : audio.EncodeUntil(clipMs, sink, &error);
    };
    if (!muxer.WriteHeader(&error)) {
        result->error = error;
        return false;
    }
    const auto audioSink = [&](AVPacket* p) { return muxer.Write(p, &error); };
    int64_t total = 0;
    for (const ClipPiece& p : spans)
        total += p.outMs - p.inMs;

    // Pass 2: the packets, each piece moved to follow the one before.
    int64_t pieceClipMs = 0, lastDts = AV_NOPTS_VALUE;
    for (size_t i = 0; i < inputs.size(); ++i) {
        AVFormatContext* in = inputs[i].input.get();
        const AVStream* s = in->streams[inputs[i].stream];
        const double msPerTick = av_q2d(s->time_base) * 1000.0;
        const int64_t inTicks = StreamStart(s) + std::llround(spans[i].inMs / msPerTick);
        const int64_t outTicks = StreamStart(s) + std::llround(spans[i].outMs / msPerTick);
        const int64_t shift = av_rescale_q(pieceClipMs, {1, 1000}, out->time_base);
        bool first = true;
        while (av_read_frame(in, packet.get()) >= 0) {
            // A seek that landed past the first key frame: from the start.
            if (first && packet->stream_index == inputs[i].stream &&
                packet->pts != AV_NOPTS_VALUE) {
                first = false;
                if (packet->pts > inTicks) {
                    av_packet_unref(packet.get());
                    if (!Rewind(&inputs[i])) {
                        result->error = PiecePath(job.pieces[i], rear) + ": cannot be read again";
                        return false;
                    }
                    continue;
                }
            }
            // No packet decoded after this one shows before it.
            if (packet->stream_index == inputs[i].stream && packet->dts != AV_NOPTS_VALUE &&
                packet->dts >= outTicks) {
                av_packet_unref(packet.get());
                break;
            }
            if (packet->stream_index != inputs[i].stream || packet->pts == AV_NOPTS_VALUE ||
                packet->pts < inTicks || packet->pts >= outTicks) {
                av_packet_unref(packet.get());
                continue;
            }
            const int64_t clipMs = pieceClipMs + std::llround((packet->pts - inTicks) * msPerTick);
            av_packet_rescale_ts(packet.get(), s->time_base, out->time_base);
            const int64_t base = av_rescale_q(inTicks, s->time_base, out->time_base);
            packet->pts += shift - base;
            packet->dts =
                (packet->dts == AV_NOPTS_VALUE ? packet->pts : packet->dts + shift - base);
            if (lastDts != AV_NOPTS_VALUE && packet->dts <= lastDts)
                packet->dts = lastDts + 1;
            packet->pts = std::max(packet->pts, packet->dts);
            lastDts = packet->dts;
            packet->stream_index = out->index;
            packet->pos = -1;
            if (muxer.Write(packet.get(), &error) < 0) {
                result->error = error;
                return false;
            }
            ++result->frames;
            if (sound && soundUntil(clipMs, audioSink) < 0) {
                result->error = error;
                return false;
            }
            if (progress &&
                !progress(std::min(1.0, double(clipMs) / std::max<int64_t>(1, total)))) {
                result->cancelled = true;
                return false;
            }
        }
        pieceClipMs += spans[i].outMs - spans[i].inMs;
    }
    if (sound && (copySound ? copiedSound.Finish(audioSink, &error)
                            : audio.Finish(audioSink, &error, total)) < 0) {
        result->error = error;
        return false;
    }
    if (!muxer.Finish(&error)) {
        result->error = error;
        return false;
    }
    result->held = spans;
    int64_t clipStart = 0;
    for (const ClipPiece& p : spans) {
        result->clipStartMs.push_back(clipStart);
        clipStart += p.outMs - p.inMs;
    }
    result->sound = sound;
    return true;
}
