#include "tools/synth/MovBaseLayout.h"

#include "tools/synth/MovWriters.h"

namespace synth {

uint32_t MovCreationTime(const QDateTime& wallClock) {
    const QDateTime local(wallClock.date(), wallClock.time(), Qt::LocalTime);
    return uint32_t(local.toSecsSinceEpoch() + 2082844800LL);
}

std::optional<MovBaseLayout> ReadMovBase(const QByteArray& base, QString* error) {
    const auto top = ReadBoxes(base, 0, base.size());
    MovBaseLayout layout;
    int found = 0;
    if (top) {
        layout.top = *top;
        for (const Box& b : *top) {
            Box* slot = b.type == "ftyp"   ? &layout.ftyp
                        : b.type == "wide" ? &layout.wide
                        : b.type == "mdat" ? &layout.mdat
                        : b.type == "moov" ? &layout.moov
                                           : nullptr;
            if (slot && slot->type.isEmpty()) {
                *slot = b;
                ++found;
            }
        }
    }
    if (found != 4 || layout.top.front().type != "ftyp" ||
        layout.mdat.offset > layout.moov.offset) {
        if (error)
            *error = "the encoded MOV does not have the expected ftyp, wide, mdat, moov layout";
        return std::nullopt;
    }
    return layout;
}

bool PatchMovieHeader(QByteArray& data, const Box& moov, uint32_t creation, uint32_t nextTrackId,
                      QString* error) {
    const auto mvhd = FindPath(data, moov, {"mvhd"});
    if (!mvhd || mvhd->PayloadSize() < 100 || data.at(mvhd->PayloadOffset()) != 0) {
        if (error)
            *error = "no version-0 mvhd in the encoded MOV";
        return false;
    }
    const int64_t p = mvhd->PayloadOffset();
    PutBe32(data, p + 4, creation);
    PutBe32(data, p + 8, creation);
    if (nextTrackId)
        PutBe32(data, p + 96, nextTrackId);
    return true;
}

} // namespace synth
