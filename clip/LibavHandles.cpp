#include "clip/LibavHandles.h"

#include "clip/LibavLog.h"

#include <cstring>

void InputCloser::operator()(AVFormatContext* c) const {
    void* tally = c->opaque;
    avformat_close_input(&c);
    if (tally)
        LibavLog::Close(tally);
}

void CodecCloser::operator()(AVCodecContext* c) const {
    void* tally = c->opaque;
    avcodec_free_context(&c);
    if (tally)
        LibavLog::Close(tally);
}

QString AvErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

namespace {

InputPtr Open(const QString& path, bool headerEnough, QString* error) {
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) {
        *error = path + ": " + AvErrorText(AVERROR(ENOMEM));
        return nullptr;
    }
    void* tally = LibavLog::Open(path);
    raw->opaque = tally;
    const LibavLog::Reading reading(tally);
    const QByteArray name = path.toUtf8();
    // On a failure libav frees the context itself.
    int code = avformat_open_input(&raw, name.constData(), nullptr, nullptr);
    if (code < 0) {
        LibavLog::Close(tally);
        *error = path + ": " + AvErrorText(code);
        return nullptr;
    }
    InputPtr input(raw);
    if (headerEnough && strstr(raw->iformat->name, "mov"))
        return input;
    if ((code = avformat_find_stream_info(raw, nullptr)) < 0) {
        *error = path + ": " + AvErrorText(code);
        return nullptr;
    }
    return input;
}

} // namespace

InputPtr OpenInput(const QString& path, QString* error) {
    return Open(path, false, error);
}

InputPtr OpenInputToCopy(const QString& path, QString* error) {
    return Open(path, true, error);
}

CodecPtr OpenDecoder(const AVStream* stream, QString* error, const AVFormatContext* input) {
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) {
        *error =
            QStringLiteral("no decoder for %1").arg(avcodec_get_name(stream->codecpar->codec_id));
        return nullptr;
    }
    CodecPtr context(avcodec_alloc_context3(codec));
    if (!context) {
        *error = AvErrorText(AVERROR(ENOMEM));
        return nullptr;
    }
    if (input && input->opaque)
        context->opaque = LibavLog::Share(input->opaque);
    int code = avcodec_parameters_to_context(context.get(), stream->codecpar);
    if (code >= 0) {
        context->pkt_timebase = stream->time_base;
        code = avcodec_open2(context.get(), codec, nullptr);
    }
    if (code < 0) {
        *error = AvErrorText(code);
        return nullptr;
    }
    return context;
}

int64_t StreamStart(const AVStream* stream) {
    return stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
}

void KeepOnlyStream(AVFormatContext* input, int stream) {
    for (unsigned i = 0; i < input->nb_streams; ++i)
        input->streams[i]->discard = int(i) == stream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
}

void SeekBefore(AVFormatContext* input, int stream, int64_t ms) {
    if (ms <= 0)
        return;
    const AVStream* s = input->streams[stream];
    const LibavLog::Reading reading(input->opaque);
    av_seek_frame(input, stream, av_rescale_q(ms, {1, 1000}, s->time_base) + StreamStart(s),
                  AVSEEK_FLAG_BACKWARD);
}

int ReadPacket(AVFormatContext* input, AVPacket* packet) {
    const LibavLog::Reading reading(input->opaque);
    return av_read_frame(input, packet);
}
