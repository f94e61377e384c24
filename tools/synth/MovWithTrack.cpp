#include "tools/synth/MovBaseLayout.h"
#include "tools/synth/MovWriters.h"
#include "tools/synth/TrackRecords.h"

namespace synth {
namespace {

constexpr uint32_t kTrackTimescale = 1000;
constexpr uint32_t kRecordTicks = kTrackTimescale / kTrackRecordRate;

QByteArray Zeros(int n) {
    return QByteArray(n, '\0');
}

QByteArray IdentityMatrix() {
    QByteArray m;
    for (uint32_t v : {0x00010000u, 0u, 0u, 0u, 0x00010000u, 0u, 0u, 0u, 0x40000000u})
        AppendBe32(m, v);
    return m;
}

QByteArray TrackHeader(uint32_t trackId, uint32_t creation, uint32_t movieDuration) {
    QByteArray p;
    AppendBe32(p, creation);
    AppendBe32(p, creation);
    AppendBe32(p, trackId);
    AppendBe32(p, 0);
    AppendBe32(p, movieDuration);
    p += Zeros(8);     // reserved
    p += Zeros(2 + 2); // layer, alternate group
    p += Zeros(2 + 2); // volume, reserved
    p += IdentityMatrix();
    p += Zeros(4 + 4); // no picture
    return MakeFullBox("tkhd", 0, 0x000001, p);
}

QByteArray MediaHeader(uint32_t creation, uint32_t duration) {
    QByteArray p;
    AppendBe32(p, creation);
    AppendBe32(p, creation);
    AppendBe32(p, kTrackTimescale);
    AppendBe32(p, duration);
    AppendBe16(p, 0x55C4); // language "und"
    AppendBe16(p, 0);
    return MakeFullBox("mdhd", 0, 0, p);
}

QByteArray HandlerBox(const char* componentType, const char* subtype, const QByteArray& name) {
    QByteArray p(componentType, 4);
    p.append(subtype, 4);
    p += Zeros(12);
    p.append(char(name.size()));
    p.append(name);
    return MakeFullBox("hdlr", 0, 0, p);
}

QByteArray SampleTable(int count, uint32_t firstOffset) {
    QByteArray entry = Zeros(6);
    AppendBe16(entry, 1); // data reference index
    QByteArray stsd;
    AppendBe32(stsd, 1);
    stsd += MakeBox("jtdm", entry);

    QByteArray stts, stsc, stsz, stco;
    AppendBe32(stts, 1);
    AppendBe32(stts, uint32_t(count));
    AppendBe32(stts, kRecordTicks);
    AppendBe32(stsc, 1);
    for (uint32_t v : {1u, 1u, 1u}) // first chunk, samples per chunk, description
        AppendBe32(stsc, v);
    AppendBe32(stsz, kTrackRecordSize);
    AppendBe32(stsz, uint32_t(count));
    // One record per chunk: the viewer reads one record at each chunk offset.
    AppendBe32(stco, uint32_t(count));
    for (int i = 0; i < count; ++i)
        AppendBe32(stco, firstOffset + uint32_t(i * kTrackRecordSize));

    return MakeBox("stbl", MakeFullBox("stsd", 0, 0, stsd) + MakeFullBox("stts", 0, 0, stts) +
                               MakeFullBox("stsc", 0, 0, stsc) + MakeFullBox("stsz", 0, 0, stsz) +
                               MakeFullBox("stco", 0, 0, stco));
}

QByteArray MetadataTrack(uint32_t trackId, uint32_t creation, uint32_t movieTimescale, int count,
                         uint32_t firstOffset) {
    const uint32_t duration = uint32_t(count) * kRecordTicks;
    const uint32_t movieDuration = uint32_t(uint64_t(duration) * movieTimescale / kTrackTimescale);
    QByteArray dref;
    AppendBe32(dref, 1);
    dref += MakeFullBox("alis", 0, 0x000001, {}); // data in this file
    const QByteArray minf =
        MakeBox("minf", MakeFullBox("nmhd", 0, 0, {}) + HandlerBox("dhlr", "alis", "DataHandler") +
                            MakeBox("dinf", MakeFullBox("dref", 0, 0, dref)) +
                            SampleTable(count, firstOffset));
    const QByteArray mdia = MakeBox("mdia", MediaHeader(creation, duration) +
                                                HandlerBox("mhlr", "meta", "MetaHandler") + minf);
    return MakeBox("trak", TrackHeader(trackId, creation, movieDuration) + mdia);
}

// The handler name of the video track starts with the camera's "JTD_"; a
// damaged file gets another first letter.
bool SpoilVideoMarker(QByteArray& data, const Box& moov, QString* error) {
    const auto children = ReadBoxes(data, moov.PayloadOffset(), moov.End());
    for (const Box& trak : children.value_or(std::vector<Box>{})) {
        if (trak.type != "trak")
            continue;
        const auto hdlr = FindPath(data, trak, {"mdia", "hdlr"});
        if (hdlr && hdlr->PayloadSize() >= 29 && data.mid(hdlr->PayloadOffset() + 8, 4) == "vide") {
            data[qsizetype(hdlr->PayloadOffset() + 25)] = 'X';
            return true;
        }
    }
    if (error)
        *error = "no video handler in the encoded MOV";
    return false;
}

} // namespace

std::optional<QByteArray> BuildMovWithTrack(const QByteArray& base, const RecordingRecipe& recipe,
                                            QString* error) {
    const auto layout = ReadMovBase(base, error);
    if (!layout)
        return std::nullopt;
    QByteArray data = base;
    if (recipe.faults.noMarker && !SpoilVideoMarker(data, layout->moov, error))
        return std::nullopt;
    // Same size as "wide", so no offset moves; it tells the viewer which layout this is.
    data.replace(layout->wide.offset + 4, 4, "free");
    if (recipe.faults.cutInMedia)
        return data.left(layout->mdat.PayloadOffset() + layout->mdat.PayloadSize() / 2);

    int count = 0;
    const QByteArray records = TrackRecords(recipe, &count);
    const int64_t firstRecord = layout->mdat.End();
    if (firstRecord + records.size() > int64_t(UINT32_MAX)) {
        if (error)
            *error = "records beyond the reach of 32-bit chunk offsets";
        return std::nullopt;
    }
    QByteArray out = data.left(layout->mdat.End());
    if (!SetBoxSize(out, layout->mdat, layout->mdat.size + records.size())) {
        if (error)
            *error = "mdat too large";
        return std::nullopt;
    }
    out += records;

    const uint32_t creation = MovCreationTime(recipe.start);
    const auto mvhd = FindPath(data, layout->moov, {"mvhd"});
    if (!mvhd || mvhd->PayloadSize() < 100) {
        if (error)
            *error = "no mvhd in the encoded MOV";
        return std::nullopt;
    }
    const uint32_t timescale = GetBe32(data, mvhd->PayloadOffset() + 12);
    const uint32_t trackId = GetBe32(data, mvhd->PayloadOffset() + 96);
    if (!PatchMovieHeader(data, layout->moov, creation, trackId + 1, error))
        return std::nullopt;
    const QByteArray track =
        MetadataTrack(trackId, creation, timescale, count, uint32_t(firstRecord));

    const auto children = ReadBoxes(data, layout->moov.PayloadOffset(), layout->moov.End());
    if (!children) {
        if (error)
            *error = "unreadable moov in the encoded MOV";
        return std::nullopt;
    }
    int64_t lastTrak = -1;
    for (size_t i = 0; i < children->size(); ++i)
        if ((*children)[i].type == "trak")
            lastTrak = int64_t(i);
    QByteArray moovPayload;
    for (size_t i = 0; i < children->size(); ++i) {
        const Box& child = (*children)[i];
        moovPayload += data.mid(child.offset, child.size);
        const bool afterThis =
            recipe.faults.metaTrackFirst ? child.type == "mvhd" : int64_t(i) == lastTrak;
        if (afterThis)
            moovPayload += track;
    }
    out += MakeBox("moov", moovPayload);
    out += data.mid(layout->moov.End());
    return out;
}

} // namespace synth
