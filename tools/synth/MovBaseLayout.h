#pragma once
#include "tools/synth/MovBoxes.h"

#include <QString>

namespace synth {

// Where the pieces of an ffmpeg MOV lie: ftyp, wide, mdat and moov at the top,
// the mdat before the moov.
struct MovBaseLayout {
    Box ftyp, wide, mdat, moov;
    std::vector<Box> top;
};

std::optional<MovBaseLayout> ReadMovBase(const QByteArray& base, QString* error);

// Sets creation and modification time of the moov's version-0 "mvhd" and,
// when `nextTrackId` is not 0, its next track id.
bool PatchMovieHeader(QByteArray& data, const Box& moov, uint32_t creation, uint32_t nextTrackId,
                      QString* error);

} // namespace synth
