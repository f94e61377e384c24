#include "clip/ClipTranscode.h"

#include "clip/ClipAudioTrack.h"
#include "clip/ClipGeometry.h"
#include "clip/ClipMuxer.h"
#include "clip/ClipOverlayImage.h"
#include "clip/ClipVideoReader.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
}

namespace {

// Closing a source that already failed changes nothing, so end-of-stream
// pushes need no check of their own.
bool Push(AVFilterContext* source, AVFrame* frame) {
    return av_buffersrc_add_frame(source, frame) >= 0;
}

struct Graph {
    GraphPtr graph;
    AVFilterContext* front = nullptr;
    AVFilterContext* rear = nullptr;
    AVFilterContext* figures = nullptr;
    AVFilterContext* sink = nullptr;
};

// `what` names the pictures' origin in an error: a recording, or the figures.
AVFilterContext* VideoSource(AVFilterGraph* graph, const char* name, const QString& what, int width,
                             int height, int format, AVRational timeBase, AVRational aspect,
                             QString* error) {
    const QByteArray args = QStringLiteral("video_size=%1x%2:pix_fmt=%3:time_base=%4/%5:"
                                           "pixel_aspect=%6/%7")
                                .arg(width)
                                .arg(height)
                                .arg(format)
                                .arg(timeBase.num)
                                .arg(timeBase.den)
                                .arg(aspect.num)
                                .arg(aspect.den)
                                .toLatin1();
    AVFilterContext* context = nullptr;
    const int code = avfilter_graph_create_filter(&context, avfilter_get_by_name("buffer"), name,
                                                  args.constData(), nullptr, graph);
    if (code < 0)
        *error = QStringLiteral("%1: cannot take its pictures (%2x%3, %4): %5")
                     .arg(what)
                     .arg(width)
                     .arg(height)
                     .arg(QString::fromLatin1(av_get_pix_fmt_name(AVPixelFormat(format))))
                     .arg(AvErrorText(code));
    return code < 0 ? nullptr : context;
}

void AddEnd(AVFilterInOut** list, const char* name, AVFilterContext* context) {
    AVFilterInOut* end = avfilter_inout_alloc();
    end->name = av_strdup(name);
    end->filter_ctx = context;
    end->pad_idx = 0;
    end->next = *list;
    *list = end;
}

bool BuildGraph(const QString& text, Graph* g, QString* error) {
    AVFilterContext* sink = nullptr;
    int code = avfilter_graph_create_filter(&sink, avfilter_get_by_name("buffersink"), "out",
                                            nullptr, nullptr, g->graph.get());
    if (code < 0) {
        *error = AvErrorText(code);
        return false;
    }
    g->sink = sink;
    AVFilterInOut* outputs = nullptr; // the graph's open inputs are our sources' outputs
    AVFilterInOut* inputs = nullptr;
    if (g->front)
        AddEnd(&outputs, "f", g->front);
    if (g->rear)
        AddEnd(&outputs, "r", g->rear);
    if (g->figures)
        AddEnd(&outputs, "o", g->figures);
    AddEnd(&inputs, "out", sink);
    const QByteArray description = text.toLatin1();
    code = avfilter_graph_parse_ptr(g->graph.get(), description.constData(), &inputs, &outputs,
                                    nullptr);
    avfilter_inout_free(&inputs);
    avfilter_inout_free(&outputs);
    if (code >= 0)
        code = avfilter_graph_config(g->graph.get(), nullptr);
    if (code < 0) {
        *error = "filter graph: " + AvErrorText(code);
        return false;
    }
    return true;
}

// The figures box as a frame stamped in ms of clip time.
FramePtr FiguresFrame(const QImage& image, int64_t clipMs) {
    FramePtr frame = NewFrame();
    frame->format = AV_PIX_FMT_RGBA;
    frame->width = image.width();
    frame->height = image.height();
    if (av_frame_get_buffer(frame.get(), 0) < 0)
        return nullptr;
    for (int y = 0; y < image.height(); ++y)
        memcpy(frame->data[0] + y * frame->linesize[0], image.constScanLine(y),
               size_t(image.width()) * 4);
    frame->pts = clipMs;
    return frame;
}

// Frame threads and a long lookahead keep a dozen and more pictures of
// 3840x1080 in the encoder at once (over 500 MiB for side by side). Slices
// share one picture between the threads; two pictures of lookahead and one
// B-frame bring the whole export near 260 MiB, at the same speed on two
// cores. bench/clip.sh gives its plain ffmpeg peer the same parameters.
constexpr const char* kEncoderMemory = "sliced-threads=1:rc-lookahead=2:bframes=1";

CodecPtr OpenVideoEncoder(const ClipEncodeJob& job, int width, int height, AVRational rate,
                          bool globalHeader, QString* error) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) {
        *error = QStringLiteral("no H.264 encoder (libx264)");
        return nullptr;
    }
    CodecPtr encoder(avcodec_alloc_context3(codec));
    encoder->width = width;
    encoder->height = height;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->time_base = av_inv_q(rate);
    encoder->framerate = rate;
    encoder->sample_aspect_ratio = {1, 1};
    encoder->gop_size = std::max(1, int(std::lround(2 * av_q2d(rate))));
    if (globalHeader)
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "preset", job.preset.toLatin1().constData(), 0);
    av_dict_set_int(&options, "crf", job.crf, 0);
    av_dict_set(&options, "x264-params", kEncoderMemory, 0);
    const int code = avcodec_open2(encoder.get(), codec, &options);
    av_dict_free(&options);
    if (code < 0) {
        *error = "H.264: " + AvErrorText(code);
        return nullptr;
    }
    return encoder;
}

class Transcoder {
  public:
    Transcoder(const ClipEncodeJob& job, const ClipProgress& progress, ClipEncodeResult* result)
        : job_(job), progress_(progress), result_(result), audio_(job.pieces) {}

    bool Run();

  private:
    bool Setup();
    bool PushFigures(int64_t untilMs);
    bool Drain(bool flush);
    bool Fail(const QString& why) {
        if (result_->error.isEmpty())
            result_->error = why;
        return false;
    }

    const ClipEncodeJob& job_;
    const ClipProgress& progress_;
    ClipEncodeResult* result_;
    std::unique_ptr<ClipVideoReader> front_, rear_;
    ClipAudioTrack audio_;
    bool sound_ = false;
    Graph graph_;
    CodecPtr encoder_;
    ClipMuxer muxer_;
    AVStream* videoStream_ = nullptr;
    ClipGeometry geometry_;
    size_t figuresPushed_ = 0;
    bool figuresClosed_ = false;
    QString error_;
    PacketPtr packet_ = NewPacket();
};

bool Transcoder::Setup() {
    const ClipOptions& o = job_.options;
    AVRational rate{0, 0};
    if (UsesFront(o.layout)) {
        front_ = std::make_unique<ClipVideoReader>(job_.pieces, false);
        if (!front_->Open(rate, &error_))
            return Fail(error_);
        rate = front_->FrameRate();
    }
    if (UsesRear(o.layout)) {
        rear_ = std::make_unique<ClipVideoReader>(job_.pieces, true);
        if (!rear_->Open(rate, &error_))
            return Fail(error_);
        rate = rear_->FrameRate();
    }
    const QSize frontSize = front_ ? QSize(front_->Width(), front_->Height()) : QSize();
    const QSize rearSize = rear_ ? QSize(rear_->Width(), rear_->Height()) : QSize();
    const bool figures = o.overlays != 0 && !job_.figures.changes.empty();
    const QSize frame = ClipPictureSize(o.layout, frontSize, rearSize, figures);
    int columns = 0;
    for (const ClipFigureChange& change : job_.figures.changes)
        for (const QString& line : change.lines)
            columns = std::max(columns, int(line.size()));
    const QSize box =
        figures ? OverlayBoxSize(frame, FigureLineCount(o), o.overlays & kOverlayMap, columns)
                : QSize();
    if (!ComputeClipGeometry(o, frontSize, rearSize, box, &geometry_, &error_))
        return Fail(error_);

    graph_.graph.reset(avfilter_graph_alloc());
    const AVRational slot = av_inv_q(rate);
    if (front_ && !(graph_.front = VideoSource(
                        graph_.graph.get(), "f", front_->Path(), front_->Width(), front_->Height(),
                        front_->PixelFormat(), slot, front_->SampleAspect(), &error_)))
        return Fail(error_);
    if (rear_ && !(graph_.rear = VideoSource(graph_.graph.get(), "r", rear_->Path(), rear_->Width(),
                                             rear_->Height(), rear_->PixelFormat(), slot,
                                             rear_->SampleAspect(), &error_)))
        return Fail(error_);
    if (figures && !(graph_.figures = VideoSource(
                         graph_.graph.get(), "o", QStringLiteral("the figures"), box.width(),
                         box.height(), AV_PIX_FMT_RGBA, {1, 1000}, {1, 1}, &error_)))
        return Fail(error_);
    if (!BuildGraph(geometry_.filterText, &graph_, &error_))
        return Fail(error_);

    if (!muxer_.Create(job_.path, &error_))
        return Fail(error_);
    AVFormatContext* out = muxer_.Context();
    encoder_ =
        OpenVideoEncoder(job_, av_buffersink_get_w(graph_.sink), av_buffersink_get_h(graph_.sink),
                         rate, out->oformat->flags & AVFMT_GLOBALHEADER, &error_);
    if (!encoder_)
        return Fail(error_);
    videoStream_ = avformat_new_stream(out, nullptr);
    videoStream_->time_base = encoder_->time_base;
    videoStream_->avg_frame_rate = rate;
    avcodec_parameters_from_context(videoStream_->codecpar, encoder_.get());
    // Sound that cannot be read or encoded is left out with a note; the
    // picture is the evidence.
    if (o.sound) {
        QString why;
        sound_ = audio_.Probe(&why) && audio_.AddStream(out, &why);
        if (!sound_)
            result_->soundNote = why;
    }
    if (!muxer_.WriteHeader(&error_))
        return Fail(error_);
    return true;
}

// Pushes the figures up to and one change past untilMs: the overlay filter
// shows a box until it has seen the next one.
bool Transcoder::PushFigures(int64_t untilMs) {
    if (!graph_.figures || figuresClosed_)
        return true;
    const auto& changes = job_.figures.changes;
    while (figuresPushed_ < changes.size() &&
           (figuresPushed_ == 0 || changes[figuresPushed_ - 1].clipMs <= untilMs)) {
        const ClipFigureChange& change = changes[figuresPushed_];
        const QImage image = DrawOverlay(geometry_.figures.size(), geometry_.frame, change,
                                         job_.figures.route, job_.options.overlays & kOverlayMap);
        FramePtr frame = FiguresFrame(image, change.clipMs);
        if (!frame || !Push(graph_.figures, frame.get()))
            return Fail(QStringLiteral("cannot hand the figures to the filter graph"));
        ++figuresPushed_;
    }
    if (figuresPushed_ == changes.size()) {
        Push(graph_.figures, nullptr);
        figuresClosed_ = true;
    }
    return true;
}

bool Transcoder::Drain(bool flush) {
    FramePtr filtered = NewFrame();
    const auto write = [&]() {
        for (;;) {
            int code = avcodec_receive_packet(encoder_.get(), packet_.get());
            if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
                return true;
            if (code < 0)
                return Fail("H.264: " + AvErrorText(code));
            av_packet_rescale_ts(packet_.get(), encoder_->time_base, videoStream_->time_base);
            packet_->stream_index = videoStream_->index;
            if (muxer_.Write(packet_.get(), &error_) < 0)
                return Fail(error_);
        }
    };
    for (;;) {
        const int code = av_buffersink_get_frame(graph_.sink, filtered.get());
        if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
            break;
        if (code < 0)
            return Fail("filter graph: " + AvErrorText(code));
        filtered->pict_type = AV_PICTURE_TYPE_NONE;
        const int sent = avcodec_send_frame(encoder_.get(), filtered.get());
        av_frame_unref(filtered.get());
        if (sent < 0)
            return Fail("H.264: " + AvErrorText(sent));
        ++result_->frames;
        if (!write())
            return false;
    }
    if (flush) {
        avcodec_send_frame(encoder_.get(), nullptr);
        return write();
    }
    return true;
}

bool Transcoder::Run() {
    if (!Setup())
        return false;
    ClipVideoReader* lead = front_ ? front_.get() : rear_.get();
    ClipVideoReader* second = front_ && rear_ ? rear_.get() : nullptr;
    AVFilterContext* leadSource = front_ ? graph_.front : graph_.rear;
    const AVRational rate = lead->FrameRate();
    const double frameMs = 1000.0 / av_q2d(rate);
    int64_t totalMs = 0;
    for (const ClipPiece& p : job_.pieces)
        totalMs += p.outMs - p.inMs;
    const auto audioSink = [this](AVPacket* p) { return muxer_.Write(p, &error_); };
    int64_t lastSlot = -1;

    FramePtr frame = NewFrame();
    FramePtr pending = NewFrame(); // the second camera's next picture
    bool pendingValid = false, secondDone = second == nullptr;
    for (;;) {
        const int got = lead->Next(frame.get(), &error_);
        if (got < 0)
            return Fail(error_);
        if (got == 0)
            break;
        const int64_t slot = frame->pts;
        lastSlot = slot;
        const int64_t clipMs = int64_t(std::llround(slot * frameMs));
        while (!secondDone) {
            if (!pendingValid) {
                const int r = second->Next(pending.get(), &error_);
                if (r < 0)
                    return Fail(error_);
                if (r == 0) {
                    secondDone = true;
                    Push(graph_.rear, nullptr);
                    break;
                }
                pendingValid = true;
            }
            if (pending->pts > slot)
                break;
            if (!Push(graph_.rear, pending.get()))
                return Fail(QStringLiteral("cannot hand the rear picture to the filter graph"));
            pendingValid = false;
        }
        if (!PushFigures(clipMs))
            return false;
        if (!Push(leadSource, frame.get()))
            return Fail(QStringLiteral("cannot hand the picture to the filter graph"));
        if (!Drain(false))
            return false;
        if (sound_ && audio_.EncodeUntil(clipMs, audioSink, &error_) < 0)
            return Fail(error_);
        if (progress_ && !progress_(std::min(1.0, (clipMs + frameMs) / double(totalMs)))) {
            result_->cancelled = true;
            return false;
        }
    }
    if (!secondDone) {
        if (pendingValid)
            Push(graph_.rear, pending.get());
        Push(graph_.rear, nullptr);
    }
    if (graph_.figures && !figuresClosed_)
        Push(graph_.figures, nullptr);
    Push(leadSource, nullptr);
    if (!Drain(true))
        return false;
    // The sound ends with the picture, also where a recording's picture
    // ends early.
    const int64_t pictureEndMs = std::llround((lastSlot + 1) * frameMs);
    if (sound_ && audio_.Finish(audioSink, &error_, std::min(pictureEndMs, totalMs)) < 0)
        return Fail(error_);
    for (const ClipVideoReader* reader : {front_.get(), rear_.get()}) {
        if (reader)
            result_->notes << reader->Notes();
    }
    result_->sound = sound_;
    if (result_->frames == 0)
        return Fail(QStringLiteral("the recordings hold no picture in the clip's span"));
    if (!muxer_.Finish(&error_))
        return Fail(error_);
    int64_t clipStart = 0;
    for (size_t i = 0; i < job_.pieces.size(); ++i) {
        ClipPiece piece = job_.pieces[i];
        piece.outMs = std::max(piece.inMs, lead->PieceEndsMs()[i]);
        result_->held.push_back(piece);
        result_->clipStartMs.push_back(clipStart);
        clipStart += job_.pieces[i].outMs - job_.pieces[i].inMs;
    }
    if (second)
        result_->rearEndsMs = second->PieceEndsMs();
    return true;
}

} // namespace

bool TranscodeClip(const ClipEncodeJob& job, const ClipProgress& progress,
                   ClipEncodeResult* result) {
    Transcoder transcoder(job, progress, result);
    return transcoder.Run();
}
