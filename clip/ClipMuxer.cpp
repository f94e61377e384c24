#include "clip/ClipMuxer.h"

extern "C" {
#include <libavutil/opt.h>
}

ClipMuxer::~ClipMuxer() {
    if (!context_)
        return;
    if (!closed_)
        avio_closep(&context_->pb);
    avformat_free_context(context_);
}

bool ClipMuxer::Create(const QString& path, QString* error) {
    const QByteArray name = path.toUtf8();
    int code = avformat_alloc_output_context2(&context_, nullptr, "mp4", name.constData());
    if (code < 0 || !context_) {
        *error = AvErrorText(code);
        return false;
    }
    if ((code = avio_open(&context_->pb, name.constData(), AVIO_FLAG_WRITE)) < 0) {
        *error = path + ": " + AvErrorText(code);
        closed_ = true;
        return false;
    }
    return true;
}

bool ClipMuxer::WriteHeader(QString* error) {
    AVDictionary* options = nullptr;
    av_dict_set(&options, "movflags", "+faststart", 0);
    const int code = avformat_write_header(context_, &options);
    av_dict_free(&options);
    if (code < 0) {
        *error = AvErrorText(code);
        return false;
    }
    headerWritten_ = true;
    return true;
}

int ClipMuxer::Write(AVPacket* packet, QString* error) {
    int code = av_interleaved_write_frame(context_, packet);
    if (code >= 0 && context_->pb->error < 0)
        code = context_->pb->error;
    if (code < 0)
        *error = AvErrorText(code);
    return code;
}

bool ClipMuxer::Finish(QString* error) {
    int code = headerWritten_ ? av_write_trailer(context_) : AVERROR(EINVAL);
    if (code >= 0 && context_->pb->error < 0)
        code = context_->pb->error;
    avio_flush(context_->pb);
    if (code >= 0 && context_->pb->error < 0)
        code = context_->pb->error;
    const int closeCode = avio_closep(&context_->pb);
    closed_ = true;
    if (code >= 0)
        code = closeCode;
    if (code < 0) {
        *error = AvErrorText(code);
        return false;
    }
    return true;
}
