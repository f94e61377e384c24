#include "clip/ClipVideoReader.h"

#include <cmath>

extern "C" {
#include <libavutil/mathematics.h>
}

QString PiecePath(const ClipPiece& piece, bool rear) {
    return rear ? piece.source.rear : piece.source.front;
}

ClipVideoReader::ClipVideoReader(std::vector<ClipPiece> pieces, bool rear)
    : pieces_(std::move(pieces)), rear_(rear) {
    for (const ClipPiece& piece : pieces_)
        endsMs_.push_back(piece.outMs);
}

bool ClipVideoReader::Open(AVRational frameRate, QString* error) {
    if (pieces_.empty()) {
        *error = QStringLiteral("no recording holds the clip");
        return false;
    }
    frameRate_ = frameRate;
    if (!OpenPiece(0, error))
        return false;
    return true;
}

bool ClipVideoReader::OpenPiece(size_t index, QString* error) {
    const ClipPiece& piece = pieces_[index];
    const QString path = PiecePath(piece, rear_);
    if (path.isEmpty()) {
        *error = QStringLiteral("a recording of the clip has no %1 camera file")
                     .arg(rear_ ? "rear" : "front");
        return false;
    }
    decoder_.reset();
    input_ = OpenInput(path, error);
    if (!input_)
        return false;
    stream_ = av_find_best_stream(input_.get(), AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (stream_ < 0) {
        *error = path + ": no video";
        return false;
    }
    AVStream* stream = input_->streams[stream_];
    decoder_ = OpenDecoder(stream, error, input_.get());
    // The filter graph is built for the first piece's pictures.
    if (decoder_ && index == 0 &&
        (decoder_->width <= 0 || decoder_->height <= 0 || decoder_->pix_fmt == AV_PIX_FMT_NONE)) {
        decoder_.reset();
        *error = QStringLiteral("the picture's size or pixel format is unknown");
    }
    if (!decoder_) {
        *error = path + ": " + *error;
        return false;
    }
    if (index == 0) {
        width_ = decoder_->width;
        height_ = decoder_->height;
        pixelFormat_ = decoder_->pix_fmt;
        if (stream->sample_aspect_ratio.num > 0)
            sampleAspect_ = stream->sample_aspect_ratio;
        if (frameRate_.num <= 0 || frameRate_.den <= 0) {
            frameRate_ =
                stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
            if (frameRate_.num <= 0 || frameRate_.den <= 0)
                frameRate_ = {30, 1};
        }
    }
    KeepOnlyStream(input_.get(), stream_);
    SeekBefore(input_.get(), stream_, piece.inMs);
    piece_ = index;
    draining_ = false;
    pieceDone_ = false;
    lastFileMs_ = -1;
    return true;
}

QString ClipVideoReader::Path() const {
    return piece_ < pieces_.size() ? PiecePath(pieces_[piece_], rear_) : QString();
}

void ClipVideoReader::NoteShortPiece() {
    const ClipPiece& piece = pieces_[piece_];
    const double frameMs = 1000.0 * frameRate_.den / frameRate_.num;
    const double reached = lastFileMs_ < 0 ? double(piece.inMs) : lastFileMs_ + frameMs;
    if (reached >= piece.outMs - 2 * frameMs)
        return;
    endsMs_[piece_] = std::llround(reached);
    notes_ << QStringLiteral("%1: its picture ends at %2 s, before the %3 s the clip takes "
                             "from it (the file is cut short)")
                  .arg(PiecePath(piece, rear_))
                  .arg(reached / 1000.0, 0, 'f', 1)
                  .arg(piece.outMs / 1000.0, 0, 'f', 1);
}

// One decoded picture of the current piece: 1, 0 when the piece is used up.
int ClipVideoReader::Receive(AVFrame* frame, QString* error) {
    for (;;) {
        int code = avcodec_receive_frame(decoder_.get(), frame);
        if (code >= 0)
            return 1;
        if (code == AVERROR_EOF)
            return 0;
        if (code != AVERROR(EAGAIN)) {
            *error = PiecePath(pieces_[piece_], rear_) + ": " + AvErrorText(code);
            return code;
        }
        if (draining_)
            return 0;
        code = ReadPacket(input_.get(), packet_.get());
        if (code < 0) {
            draining_ = true;
            avcodec_send_packet(decoder_.get(), nullptr);
            continue;
        }
        if (packet_->stream_index == stream_) {
            code = avcodec_send_packet(decoder_.get(), packet_.get());
            // A damaged packet costs its picture, not the clip.
            if (code < 0 && code != AVERROR(EAGAIN) && code != AVERROR_INVALIDDATA) {
                av_packet_unref(packet_.get());
                *error = PiecePath(pieces_[piece_], rear_) + ": " + AvErrorText(code);
                return code;
            }
        }
        av_packet_unref(packet_.get());
    }
}

int ClipVideoReader::Next(AVFrame* frame, QString* error) {
    const double frameMs = 1000.0 * frameRate_.den / frameRate_.num;
    while (piece_ < pieces_.size()) {
        if (pieceDone_) {
            pieceClipStartMs_ += pieces_[piece_].outMs - pieces_[piece_].inMs;
            if (piece_ + 1 >= pieces_.size() || !OpenPiece(piece_ + 1, error)) {
                const bool failed = piece_ + 1 < pieces_.size();
                piece_ = pieces_.size();
                return failed ? -1 : 0;
            }
            continue;
        }
        const ClipPiece& piece = pieces_[piece_];
        const int got = Receive(frame, error);
        if (got < 0) {
            *error = PiecePath(piece, rear_) + ": " + *error;
            return got;
        }
        if (got == 0) {
            NoteShortPiece();
            pieceDone_ = true;
            continue;
        }
        const AVStream* stream = input_->streams[stream_];
        int64_t pts = frame->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE)
            pts = frame->pts;
        const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
        const double fileMs = (pts - start) * av_q2d(stream->time_base) * 1000.0;
        // A picture belongs to the slot its time falls into, half a frame
        // either way, so the seam neither skips nor repeats one.
        if (fileMs < piece.inMs - frameMs / 2) {
            av_frame_unref(frame);
            continue;
        }
        if (fileMs >= piece.outMs - frameMs / 2) {
            av_frame_unref(frame);
            pieceDone_ = true;
            continue;
        }
        const int64_t slot =
            int64_t(std::floor((pieceClipStartMs_ + fileMs - piece.inMs) / frameMs + 0.5));
        if (slot <= lastSlot_) {
            av_frame_unref(frame);
            continue;
        }
        lastSlot_ = slot;
        lastFileMs_ = fileMs;
        frame->pts = slot;
        return 1;
    }
    return 0;
}
