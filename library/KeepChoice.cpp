#include "library/KeepChoice.h"

#include <algorithm>
#include <map>

namespace {

struct Moment {
    int64_t start = 0, end = 0;
    bool locked = false, hasFix = false, moved = false, event = false;
    bool Core() const { return locked || event; }
};

int64_t Gap(const Moment& a, const Moment& b) {
    return std::max<int64_t>(0, std::max(a.start, b.start) - std::min(a.end, b.end));
}

} // namespace

std::vector<LeftOut> ChooseKept(const std::vector<KeepCandidate>& candidates, KeepMode mode) {
    std::vector<LeftOut> answers(candidates.size(), LeftOut::No);
    if (mode == KeepMode::All)
        return answers;

    // Moments by start; a recording of unknown start is a moment of its own.
    std::vector<Moment> moments;
    std::vector<size_t> momentOf(candidates.size());
    std::map<int64_t, size_t> byStart;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const KeepCandidate& c = candidates[i];
        size_t m = moments.size();
        if (c.startUtcMs > 0) {
            const auto [it, added] = byStart.emplace(c.startUtcMs, moments.size());
            m = it->second;
            if (added)
                moments.push_back(Moment{c.startUtcMs, c.startUtcMs});
        } else {
            moments.push_back(Moment{});
        }
        Moment& moment = moments[m];
        moment.end = std::max(moment.end, c.startUtcMs + int64_t(c.durationMs));
        moment.locked |= c.locked;
        moment.hasFix |= c.hasFix;
        moment.moved |= c.moved;
        moment.event |= c.event;
        momentOf[i] = m;
    }

    std::vector<LeftOut> momentAnswer(moments.size(), LeftOut::No);
    if (mode == KeepMode::Drives) {
        for (size_t m = 0; m < moments.size(); ++m)
            if (moments[m].hasFix && !moments[m].moved && !moments[m].Core())
                momentAnswer[m] = LeftOut::Parked;
    } else {
        std::vector<const Moment*> cores;
        for (const Moment& m : moments)
            if (m.Core() && m.start > 0)
                cores.push_back(&m);
        for (size_t m = 0; m < moments.size(); ++m) {
            const Moment& moment = moments[m];
            if (moment.Core())
                continue;
            bool near = false;
            if (moment.start > 0)
                for (const Moment* core : cores)
                    if (Gap(moment, *core) <= kAroundEventMs) {
                        near = true;
                        break;
                    }
            if (!near)
                momentAnswer[m] = LeftOut::NoEvent;
        }
    }
    for (size_t i = 0; i < candidates.size(); ++i)
        answers[i] = momentAnswer[momentOf[i]];
    return answers;
}
