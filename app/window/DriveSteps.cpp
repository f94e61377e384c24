#include "app/window/DriveSteps.h"

namespace {

bool Follows(const ClipSource& earlier, const ClipSource& later) {
    return earlier.durationMs > 0 && later.durationMs > 0 &&
           later.startMs <= earlier.startMs + earlier.durationMs + kSeamToleranceMs &&
           later.startMs >= earlier.startMs + earlier.durationMs - kSeamToleranceMs;
}

QString PathOf(const ClipSource& s) {
    return s.front.isEmpty() ? s.rear : s.front;
}

} // namespace

std::optional<DriveMoment> MomentInDrive(const std::vector<ClipSource>& sources, int current,
                                         int64_t currentLengthMs, int64_t offsetMs) {
    if (current < 0 || size_t(current) >= sources.size() || currentLengthMs <= 0)
        return std::nullopt;
    if (offsetMs >= 0 && offsetMs < currentLengthMs)
        return std::nullopt;
    size_t at = size_t(current);
    int64_t offset = offsetMs;
    int64_t length = currentLengthMs;
    while (offset >= length) {
        if (at + 1 >= sources.size() || !Follows(sources[at], sources[at + 1]))
            return std::nullopt;
        offset -= length;
        length = sources[++at].durationMs;
    }
    while (offset < 0) {
        if (at == 0 || !Follows(sources[at - 1], sources[at]))
            return std::nullopt;
        length = sources[--at].durationMs;
        offset += length;
    }
    return DriveMoment{PathOf(sources[at]), offset};
}

int SourceOfPath(const std::vector<ClipSource>& sources, const QString& path) {
    for (size_t i = 0; i < sources.size(); ++i) {
        if (sources[i].front == path || sources[i].rear == path)
            return int(i);
    }
    return -1;
}
