#pragma once
// The decoded pictures of one camera across the pieces of a clip, each
// numbered by its frame slot in clip time, so consecutive recordings meet
// without a gap or a repeated frame.
#include "clip/ClipSpan.h"
#include "clip/LibavHandles.h"

#include <QStringList>
#include <vector>

class ClipVideoReader {
  public:
    // rear: read each piece's rear file instead of its front file.
    ClipVideoReader(std::vector<ClipPiece> pieces, bool rear);

    // Opens the first piece and learns the picture's shape; `frameRate` is
    // the clip's (the front camera's), or {0,0} to take this camera's own.
    bool Open(AVRational frameRate, QString* error);

    // The next picture into frame with its slot number in frame->pts;
    // 1 a picture, 0 the end, negative on a failure (reason in *error).
    int Next(AVFrame* frame, QString* error);

    AVRational FrameRate() const { return frameRate_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    AVPixelFormat PixelFormat() const { return pixelFormat_; }
    AVRational SampleAspect() const { return sampleAspect_; }
    // The pieces whose picture ended before their span did, as notes.
    const QStringList& Notes() const { return notes_; }
    // Where each piece's picture ended, in ms into its file: its out-mark,
    // or earlier where the file is cut short.
    const std::vector<int64_t>& PieceEndsMs() const { return endsMs_; }
    // The path of the piece being read.
    QString Path() const;

  private:
    bool OpenPiece(size_t index, QString* error);
    int Receive(AVFrame* frame, QString* error);
    void NoteShortPiece();

    std::vector<ClipPiece> pieces_;
    bool rear_;
    size_t piece_ = 0;
    int64_t pieceClipStartMs_ = 0; // where the current piece begins in the clip
    InputPtr input_;
    CodecPtr decoder_;
    int stream_ = -1;
    bool draining_ = false;
    bool pieceDone_ = true;
    PacketPtr packet_ = NewPacket();
    AVRational frameRate_{0, 0};
    int width_ = 0, height_ = 0;
    AVPixelFormat pixelFormat_ = AV_PIX_FMT_NONE;
    AVRational sampleAspect_{1, 1};
    int64_t lastSlot_ = -1;
    double lastFileMs_ = -1; // the piece's last picture handed on
    QStringList notes_;
    std::vector<int64_t> endsMs_;
};

// The source path of a piece for one camera.
QString PiecePath(const ClipPiece& piece, bool rear);
