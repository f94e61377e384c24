#include "clip/ClipStreams.h"

#include "clip/LibavHandles.h"

#include <cmath>

namespace {

// A stream's length from its samples' times: the last one's end less the
// first one's start (what a player plays), the header's figure without an index.
int64_t StreamMs(AVStream* s, double lastSampleMs) {
    const int count = avformat_index_get_entries_count(s);
    if (count <= 0)
        return s->duration > 0 ? std::llround(s->duration * av_q2d(s->time_base) * 1000) : 0;
    int64_t first = INT64_MAX, last = INT64_MIN;
    for (int i = 0; i < count; ++i) {
        const AVIndexEntry* e = avformat_index_get_entry(s, i);
        first = std::min(first, e->timestamp);
        last = std::max(last, e->timestamp);
    }
    return std::llround((last - first) * av_q2d(s->time_base) * 1000 + lastSampleMs);
}

} // namespace

bool MeasureClipStreams(const QString& path, ClipStreamLengths* lengths, QString* error) {
    *lengths = ClipStreamLengths();
    InputPtr input = OpenInputToCopy(path, error);
    if (!input)
        return false;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        AVStream* s = input->streams[i];
        const AVCodecParameters* par = s->codecpar;
        if (par->codec_type == AVMEDIA_TYPE_VIDEO && lengths->videoMs == 0) {
            const AVRational rate = s->avg_frame_rate.num > 0 ? s->avg_frame_rate : s->r_frame_rate;
            lengths->frameMs = rate.num > 0 ? 1000.0 / av_q2d(rate) : 0;
            lengths->frames = avformat_index_get_entries_count(s);
            lengths->videoMs = StreamMs(s, lengths->frameMs);
        } else if (par->codec_type == AVMEDIA_TYPE_AUDIO && !lengths->sound) {
            lengths->sound = true;
            const double frameMs = par->sample_rate > 0 && par->frame_size > 0
                                       ? 1000.0 * par->frame_size / par->sample_rate
                                       : 0;
            lengths->soundMs = StreamMs(s, frameMs);
        }
    }
    if (lengths->videoMs <= 0) {
        *error = path + ": holds no picture";
        return false;
    }
    return true;
}
