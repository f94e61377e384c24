#include "clip/ClipAudioCopy.h"

#include <algorithm>

extern "C" {
#include <libavutil/mathematics.h>
}

namespace {

bool SameKind(const AVCodecParameters* a, const AVCodecParameters* b) {
    return a->codec_id == b->codec_id && a->sample_rate == b->sample_rate &&
           a->ch_layout.nb_channels == b->ch_layout.nb_channels &&
           a->extradata_size == b->extradata_size &&
           (a->extradata_size == 0 || memcmp(a->extradata, b->extradata, a->extradata_size) == 0);
}

} // namespace

ClipAudioCopy::ClipAudioCopy(std::vector<ClipPiece> pieces) : pieces_(std::move(pieces)) {}

bool ClipAudioCopy::Probe(const AVOutputFormat* format) {
    sources_.clear();
    for (const ClipPiece& piece : pieces_) {
        Source source;
        QString why;
        source.input = OpenInputToCopy(piece.source.front, &why);
        if (!source.input)
            return false;
        source.stream =
            av_find_best_stream(source.input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
        if (source.stream < 0)
            return false;
        const AVStream* stream = source.input->streams[source.stream];
        const AVCodecParameters* par = stream->codecpar;
        if (par->sample_rate <= 0 || stream->time_base.num <= 0 ||
            (!sources_.empty() &&
             !SameKind(par, sources_[0].input->streams[sources_[0].stream]->codecpar)))
            return false;
        KeepOnlyStream(source.input.get(), source.stream);
        sources_.push_back(std::move(source));
    }
    if (sources_.empty())
        return false;
    const AVCodecParameters* first = sources_[0].input->streams[sources_[0].stream]->codecpar;
    return avformat_query_codec(format, first->codec_id, FF_COMPLIANCE_NORMAL) == 1;
}

bool ClipAudioCopy::AddStream(AVFormatContext* output, QString* error) {
    const AVStream* first = sources_[0].input->streams[sources_[0].stream];
    out_ = avformat_new_stream(output, nullptr);
    if (!out_ || avcodec_parameters_copy(out_->codecpar, first->codecpar) < 0) {
        *error = QStringLiteral("cannot add the sound to the clip");
        return false;
    }
    out_->codecpar->codec_tag = 0;
    out_->time_base = {1, first->codecpar->sample_rate};
    return true;
}

int ClipAudioCopy::Next(QString* error) {
    while (piece_ < pieces_.size()) {
        const ClipPiece& piece = pieces_[piece_];
        Source& source = sources_[piece_];
        const AVStream* stream = source.input->streams[source.stream];
        const int64_t inTicks = av_rescale_q(piece.inMs, {1, 1000}, stream->time_base);
        const int64_t outTicks = av_rescale_q(piece.outMs, {1, 1000}, stream->time_base);
        if (!seeked_) {
            if (piece.inMs > 0)
                av_seek_frame(source.input.get(), source.stream, StreamStart(stream) + inTicks,
                              AVSEEK_FLAG_BACKWARD);
            seeked_ = true;
        }
        const int code = av_read_frame(source.input.get(), packet_.get());
        if (code == AVERROR_EOF) {
            pieceClipMs_ += piece.outMs - piece.inMs;
            source.input.reset(); // done with the file
            seeked_ = false;
            ++piece_;
            continue;
        }
        if (code < 0) {
            *error = pieces_[piece_].source.front + ": " + AvErrorText(code);
            return code;
        }
        const int64_t ticks = packet_->pts - StreamStart(stream);
        // The packet sounding at the cut comes too, as the first piece's
        // sound would otherwise start up to a packet late.
        if (packet_->stream_index != source.stream || packet_->pts == AV_NOPTS_VALUE ||
            ticks + std::max<int64_t>(packet_->duration, 1) <= inTicks) {
            av_packet_unref(packet_.get());
            continue;
        }
        if (ticks >= outTicks) {
            // The rest of the file lies past the span.
            av_packet_unref(packet_.get());
            pieceClipMs_ += piece.outMs - piece.inMs;
            source.input.reset();
            seeked_ = false;
            ++piece_;
            continue;
        }
        const int64_t shift =
            av_rescale_q(pieceClipMs_, {1, 1000}, out_->time_base) -
            av_rescale_q(StreamStart(stream) + inTicks, stream->time_base, out_->time_base);
        av_packet_rescale_ts(packet_.get(), stream->time_base, out_->time_base);
        packet_->pts += shift;
        packet_->dts = packet_->dts == AV_NOPTS_VALUE ? packet_->pts : packet_->dts + shift;
        // A packet reaching back over the seam's last one is left out.
        if (lastDts_ != AV_NOPTS_VALUE && packet_->dts <= lastDts_) {
            av_packet_unref(packet_.get());
            continue;
        }
        lastDts_ = packet_->dts;
        packet_->stream_index = out_->index;
        packet_->pos = -1;
        return 1;
    }
    return 0;
}

int ClipAudioCopy::CopyUntil(int64_t clipMs, const PacketSink& sink, QString* error) {
    const int64_t until = av_rescale_q(clipMs, {1, 1000}, out_->time_base);
    for (;;) {
        if (!pending_) {
            const int got = Next(error);
            if (got <= 0)
                return got;
            pending_ = true;
        }
        if (packet_->pts > until)
            return 0;
        pending_ = false;
        if (const int code = sink(packet_.get()); code < 0)
            return code;
    }
}

int ClipAudioCopy::Finish(const PacketSink& sink, QString* error) {
    return CopyUntil(INT64_MAX / 2000, sink, error);
}
