#include "tools/synth/AviWriter.h"

#include "tools/synth/ChunkRecords.h"

#include <QtEndian>

namespace synth {
namespace {

struct Chunk {
    QByteArray id;
    int64_t offset = 0; // of the id
    uint32_t size = 0;  // payload
    QByteArray listType;

    int64_t PayloadOffset() const { return offset + 8; }
    int64_t End() const { return offset + 8 + size + (size & 1); }
};

uint32_t GetLe32(const QByteArray& d, int64_t offset) {
    return qFromLittleEndian<quint32>(d.constData() + offset);
}

std::vector<Chunk> ReadChunks(const QByteArray& d, int64_t begin, int64_t end) {
    std::vector<Chunk> chunks;
    for (int64_t p = begin; p + 8 <= end;) {
        Chunk c{d.mid(p, 4), p, GetLe32(d, p + 4), {}};
        if (c.id == "LIST" && c.size >= 4)
            c.listType = d.mid(p + 8, 4);
        chunks.push_back(c);
        p = c.End();
    }
    return chunks;
}

const Chunk* Find(const std::vector<Chunk>& chunks, const char* id, const char* listType = "") {
    for (const Chunk& c : chunks)
        if (c.id == id && (!*listType || c.listType == listType))
            return &c;
    return nullptr;
}

void AppendLe32(QByteArray& out, uint32_t v) {
    char b[4];
    qToLittleEndian<quint32>(v, b);
    out.append(b, 4);
}

} // namespace

std::optional<QByteArray> BuildAvi(const QByteArray& base, const RecordingRecipe& recipe,
                                   QString* error) {
    auto fail = [error](const char* why) {
        if (error)
            *error = why;
        return std::nullopt;
    };
    if (base.size() < 12 || base.left(4) != "RIFF" || base.mid(8, 4) != "AVI ")
        return fail("the encoded file is not a RIFF AVI");
    const int64_t riffEnd = std::min<int64_t>(base.size(), 8 + int64_t(GetLe32(base, 4)));
    const auto top = ReadChunks(base, 12, riffEnd);
    const Chunk* hdrl = Find(top, "LIST", "hdrl");
    const Chunk* movi = Find(top, "LIST", "movi");
    if (!hdrl || !movi)
        return fail("the encoded AVI has no hdrl or movi list");
    const auto header = ReadChunks(base, hdrl->PayloadOffset() + 4, hdrl->End());
    const Chunk* avih = Find(header, "avih");
    if (!avih || avih->size < 56)
        return fail("the encoded AVI has no main header");

    QByteArray out = base.left(riffEnd);
    out.replace(avih->PayloadOffset() + 40, 4,
                recipe.faults.noMarker ? QByteArray(4, '\0') : "JTDD");
    // Power lost while recording: the file ends inside the movi list.
    if (recipe.faults.cutInMedia)
        return out.left(movi->PayloadOffset() + movi->size / 2);
    for (const CameraChunk& chunk : CameraChunks(recipe)) {
        out.append(chunk.id);
        AppendLe32(out, chunk.declaredSize);
        out.append(chunk.payload);
    }
    qToLittleEndian<quint32>(quint32(out.size() - 8), out.data() + 4);
    return out;
}

} // namespace synth
