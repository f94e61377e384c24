#include "tools/synth/ChunkRecords.h"
#include "tools/synth/MovBaseLayout.h"
#include "tools/synth/MovWriters.h"

namespace synth {
namespace {

// The camera's "skip" box: its firmware name, ending in the zero byte that
// marks the file as its own.
QByteArray SkipPayload(bool marked) {
    QByteArray payload("HALVEX DVR 1.0.3");
    payload.append(QByteArray(8, '\0'));
    payload[payload.size() - 1] = marked ? '\0' : '\1';
    return payload;
}

QByteArray ChunkBox(const CameraChunk& chunk) {
    QByteArray box;
    AppendBe32(box, 8 + chunk.declaredSize);
    box.append(chunk.id);
    box.append(chunk.payload);
    return box;
}

} // namespace

std::optional<QByteArray> BuildMovWithBoxes(const QByteArray& base, const RecordingRecipe& recipe,
                                            QString* error) {
    const auto layout = ReadMovBase(base, error);
    if (!layout)
        return std::nullopt;
    QByteArray out = base;
    if (!PatchMovieHeader(out, layout->moov, MovCreationTime(recipe.start), 0, error))
        return std::nullopt;
    if (recipe.faults.cutInMedia)
        return out.left(layout->mdat.PayloadOffset() + layout->mdat.PayloadSize() / 2);

    for (const CameraChunk& chunk : CameraChunks(recipe)) {
        if (chunk.id == "gsen")
            out += MakeBox("skip", SkipPayload(!recipe.faults.noMarker));
        out += ChunkBox(chunk);
    }
    return out;
}

} // namespace synth
