#include "clip/ClipAudioTrack.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

namespace {

int64_t MsToSamples(int64_t ms, int rate) {
    return int64_t(std::floor(double(ms) * rate / 1000.0 + 0.5));
}

} // namespace

ClipAudioTrack::ClipAudioTrack(std::vector<ClipPiece> pieces) : pieces_(std::move(pieces)) {}

bool ClipAudioTrack::Probe(QString* error) {
    if (pieces_.empty())
        return false;
    const QString& path = pieces_[0].source.front;
    if (path.isEmpty()) {
        *error = QStringLiteral("the first recording has no front camera file to take sound from");
        return false;
    }
    InputPtr input = OpenInput(path, error);
    if (!input)
        return false;
    const int index = av_find_best_stream(input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0) {
        *error = path + ": no sound";
        return false;
    }
    const AVCodecParameters* par = input->streams[index]->codecpar;
    if (par->sample_rate <= 0) {
        *error = path + ": its sound has no sample rate";
        return false;
    }
    sampleRate_ = par->sample_rate;
    av_channel_layout_default(&layout_, par->ch_layout.nb_channels >= 2 ? 2 : 1);
    return true;
}

bool ClipAudioTrack::AddStream(AVFormatContext* output, QString* error) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!codec) {
        *error = QStringLiteral("no AAC encoder");
        return false;
    }
    encoder_.reset(avcodec_alloc_context3(codec));
    encoder_->sample_fmt = AV_SAMPLE_FMT_FLTP;
    encoder_->sample_rate = sampleRate_;
    av_channel_layout_copy(&encoder_->ch_layout, &layout_);
    encoder_->bit_rate = layout_.nb_channels * 64000;
    encoder_->time_base = {1, sampleRate_};
    if (output->oformat->flags & AVFMT_GLOBALHEADER)
        encoder_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int code = avcodec_open2(encoder_.get(), codec, nullptr);
    if (code < 0) {
        *error = QStringLiteral("%1: its sound (%2 Hz) cannot be encoded as AAC: %3")
                     .arg(pieces_[0].source.front)
                     .arg(sampleRate_)
                     .arg(AvErrorText(code));
        encoder_.reset();
        return false;
    }
    outStream_ = avformat_new_stream(output, nullptr);
    outStream_->time_base = encoder_->time_base;
    avcodec_parameters_from_context(outStream_->codecpar, encoder_.get());
    fifo_.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, layout_.nb_channels, 4096));
    return true;
}

bool ClipAudioTrack::OpenPiece(size_t index, QString* error) {
    const ClipPiece& piece = pieces_[index];
    int64_t clipStart = 0;
    for (size_t i = 0; i < index; ++i)
        clipStart += pieces_[i].outMs - pieces_[i].inMs;
    pieceFirstSample_ = MsToSamples(clipStart, sampleRate_);
    pieceEndSample_ = MsToSamples(clipStart + piece.outMs - piece.inMs, sampleRate_);
    decoder_.reset();
    resampler_.reset();
    input_.reset();
    inputDone_ = true;
    stream_ = -1;
    QString why;
    // A piece without readable sound becomes silence rather than ending the clip.
    input_ = OpenInput(piece.source.front, &why);
    if (!input_)
        return true;
    stream_ = av_find_best_stream(input_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (stream_ < 0)
        return true;
    AVStream* stream = input_->streams[stream_];
    decoder_ = OpenDecoder(stream, &why, input_.get());
    if (!decoder_)
        return true;
    if (decoder_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&decoder_->ch_layout, decoder_->ch_layout.nb_channels);
    SwrContext* swr = nullptr;
    if (swr_alloc_set_opts2(&swr, &layout_, AV_SAMPLE_FMT_FLTP, sampleRate_, &decoder_->ch_layout,
                            decoder_->sample_fmt, decoder_->sample_rate, 0, nullptr) < 0 ||
        swr_init(swr) < 0) {
        swr_free(&swr);
        *error = piece.source.front + ": cannot convert its sound";
        return false;
    }
    resampler_.reset(swr);
    KeepOnlyStream(input_.get(), stream_);
    SeekBefore(input_.get(), stream_, piece.inMs);
    inputDone_ = false;
    return true;
}

int ClipAudioTrack::Append(const uint8_t* const* data, int count) {
    if (count <= 0)
        return 0;
    void* planes[2] = {const_cast<uint8_t*>(data[0]),
                       layout_.nb_channels > 1 ? const_cast<uint8_t*>(data[1]) : nullptr};
    const int code = av_audio_fifo_write(fifo_.get(), planes, count);
    if (code < 0)
        return code;
    written_ += count;
    return 0;
}

int ClipAudioTrack::AppendSilence(int64_t count) {
    std::vector<float> zeros(4096, 0.0f);
    while (count > 0) {
        const int n = int(std::min<int64_t>(count, int64_t(zeros.size())));
        const uint8_t* planes[2] = {reinterpret_cast<const uint8_t*>(zeros.data()),
                                    reinterpret_cast<const uint8_t*>(zeros.data())};
        if (const int code = Append(planes, n); code < 0)
            return code;
        count -= n;
    }
    return 0;
}

int ClipAudioTrack::Fill(int64_t untilSample, QString* error) {
    FramePtr decoded = NewFrame();
    while (written_ < untilSample && piece_ < pieces_.size()) {
        if (!pieceOpen_) {
            if (!OpenPiece(piece_, error))
                return AVERROR(EINVAL);
            pieceOpen_ = true;
        }
        if (inputDone_ || written_ >= pieceEndSample_) {
            if (const int code = AppendSilence(pieceEndSample_ - written_); code < 0)
                return code;
            pieceOpen_ = false;
            ++piece_;
            continue;
        }
        int code = avcodec_receive_frame(decoder_.get(), decoded.get());
        if (code == AVERROR(EAGAIN)) {
            code = ReadPacket(input_.get(), packet_.get());
            if (code < 0) {
                avcodec_send_packet(decoder_.get(), nullptr);
            } else {
                if (packet_->stream_index == stream_)
                    avcodec_send_packet(decoder_.get(), packet_.get());
                av_packet_unref(packet_.get());
            }
            continue;
        }
        if (code < 0) {
            inputDone_ = true;
            continue;
        }
        const AVStream* stream = input_->streams[stream_];
        const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
        int64_t pts = decoded->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE)
            pts = decoded->pts;
        const double fileMs = (pts - start) * av_q2d(stream->time_base) * 1000.0;
        const int64_t position =
            pieceFirstSample_ +
            MsToSamples(int64_t(std::llround(fileMs)) - pieces_[piece_].inMs, sampleRate_);
        // Converted into a frame of the clip's format first.
        FramePtr converted = NewFrame();
        converted->format = AV_SAMPLE_FMT_FLTP;
        av_channel_layout_copy(&converted->ch_layout, &layout_);
        converted->sample_rate = sampleRate_;
        converted->nb_samples = swr_get_out_samples(resampler_.get(), decoded->nb_samples);
        if (converted->nb_samples <= 0 || av_frame_get_buffer(converted.get(), 0) < 0) {
            av_frame_unref(decoded.get());
            continue;
        }
        const int count =
            swr_convert(resampler_.get(), converted->data, converted->nb_samples,
                        const_cast<const uint8_t**>(decoded->extended_data), decoded->nb_samples);
        av_frame_unref(decoded.get());
        if (count <= 0)
            continue;
        int64_t from = position, to = position + count;
        if (from >= pieceEndSample_) {
            inputDone_ = true;
            continue;
        }
        if (from > written_) {
            if ((code = AppendSilence(from - written_)) < 0)
                return code;
        }
        from = std::max(from, written_);
        to = std::min(to, pieceEndSample_);
        if (to <= from)
            continue;
        const int skip = int(from - position);
        const uint8_t* planes[2] = {
            converted->data[0] + skip * sizeof(float),
            layout_.nb_channels > 1 ? converted->data[1] + skip * sizeof(float) : nullptr};
        if ((code = Append(planes, int(to - from))) < 0)
            return code;
    }
    return 0;
}

int ClipAudioTrack::Send(AVFrame* frame, const PacketSink& sink, QString* error) {
    int code = avcodec_send_frame(encoder_.get(), frame);
    if (code < 0) {
        *error = "AAC: " + AvErrorText(code);
        return code;
    }
    for (;;) {
        code = avcodec_receive_packet(encoder_.get(), packet_.get());
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
            return 0;
        if (code < 0) {
            *error = "AAC: " + AvErrorText(code);
            return code;
        }
        av_packet_rescale_ts(packet_.get(), encoder_->time_base, outStream_->time_base);
        packet_->stream_index = outStream_->index;
        if ((code = sink(packet_.get())) < 0)
            return code;
    }
}

int ClipAudioTrack::Encode(bool flush, const PacketSink& sink, QString* error) {
    const int frameSize = encoder_->frame_size > 0 ? encoder_->frame_size : 1024;
    while (av_audio_fifo_size(fifo_.get()) >= frameSize ||
           (flush && av_audio_fifo_size(fifo_.get()) > 0)) {
        const int n = std::min(frameSize, av_audio_fifo_size(fifo_.get()));
        frame_->nb_samples = n;
        frame_->format = AV_SAMPLE_FMT_FLTP;
        av_channel_layout_copy(&frame_->ch_layout, &layout_);
        frame_->sample_rate = sampleRate_;
        if (av_frame_get_buffer(frame_.get(), 0) < 0)
            return AVERROR(ENOMEM);
        av_audio_fifo_read(fifo_.get(), reinterpret_cast<void**>(frame_->data), n);
        frame_->pts = encoded_;
        encoded_ += n;
        const int code = Send(frame_.get(), sink, error);
        av_frame_unref(frame_.get());
        if (code < 0)
            return code;
    }
    return flush ? Send(nullptr, sink, error) : 0;
}

int ClipAudioTrack::EncodeUntil(int64_t clipMs, const PacketSink& sink, QString* error) {
    if (const int code = Fill(MsToSamples(clipMs, sampleRate_), error); code < 0)
        return code;
    return Encode(false, sink, error);
}

int ClipAudioTrack::Finish(const PacketSink& sink, QString* error, int64_t untilMs) {
    if (const int code = Fill(MsToSamples(untilMs, sampleRate_), error); code < 0)
        return code;
    return Encode(true, sink, error);
}
