#include "recordings/RecordingCatalog.h"

#include "platform/PathUtil.h"
#include "platform/RegularFile.h"
#include "recordings/MetadataRecord.h"

#include <QFile>
#include <stdexcept>

int RecordingCatalog::Reset() {
    files.clear();
    groups.clear();
    rows.clear();
    unreadableNames.clear();
    skippedNames.clear();
    points.clear();
    samples.clear();
    currentFile_ = -1;
    trackLoadFailed_ = false;
    if (groupList)
        groupList->DeleteAllItems();
    if (fileList)
        fileList->DeleteAllItems();
    if (gsensorCurve) {
        gsensorCurve->CurveState().samples.clear();
        gsensorCurve->SetPosition(0);
        gsensorCurve->Redraw();
    }
    return 1;
}

QString RecordingCatalog::GetFilePath(int index) const {
    if (index < 0 || size_t(index) >= files.size())
        throw std::out_of_range("RecordingCatalog::GetFilePath: no such file");
    const RecordingFile& f = files[size_t(index)];
    return PathUtil::JoinRecordingPath(f.root, f.folder, f.fileName);
}

QString RecordingCatalog::GetCurrentFilePath() const {
    return GetFilePath(currentFile_);
}

int RecordingCatalog::LoadTrack(int index) {
    if (index < 0 || size_t(index) >= files.size())
        return 0;
    int loaded = 0;
    switch (files[size_t(index)].info.variant) {
    case kChunkVariant:
        loaded = LoadChunkTrack(index);
        break;
    case kMetadataTrackVariant:
        loaded = LoadMetadataTrack(index);
        break;
    default:
        break;
    }
    trackLoadFailed_ = loaded == 0;
    return loaded;
}

void RecordingCatalog::ClearTrack() {
    if (mapWindow) {
        mapWindow->RunScript("pathdrived_delete()");
        mapWindow->RunScript("path_delete()");
    }
    gpsBlock.clear();
    gpsBlock.shrink_to_fit();
    gsensorBlock.clear();
    gsensorBlock.shrink_to_fit();
    sampleCount = 0;
}

namespace {

// A block is read only when it lies wholly inside the file.
bool InsideFile(uint64_t offset, uint32_t size, qint64 fileLength) {
    return size != 0 && fileLength >= 0 && offset <= uint64_t(fileLength) &&
           size <= uint64_t(fileLength) - offset;
}

bool ReadBlock(QFile& file, uint64_t offset, uint32_t size, std::vector<uint8_t>* block) {
    block->resize(size);
    if (!file.seek(qint64(offset)) ||
        file.read(reinterpret_cast<char*>(block->data()), size) != size) {
        block->clear();
        return false;
    }
    return true;
}

} // namespace

void RecordingCatalog::HandSamplesToCurve(const RecordingInfo& info,
                                          const std::vector<GSensorSample>& handed) {
    if (!gsensorCurve || handed.empty())
        return;
    GSensorCurveState& curve = gsensorCurve->CurveState();
    const uint8_t scale = info.gsensorParams[1];
    curve.fullScale = scale ? scale : 8.0;
    curve.range = 2.0;
    gsensorCurve->Redraw();
    curve.samples.insert(curve.samples.end(), handed.begin(), handed.end());
    gsensorCurve->RecalcScale();
    gsensorCurve->Redraw();
    if (info.gsensorParams[0])
        curve.samplesPerMs = info.gsensorParams[0] / 1000.0;
    else if (info.durationMs)
        curve.samplesPerMs = double(handed.size()) / info.durationMs;
    gsensorCurve->RecalcScale();
    gsensorCurve->Redraw();
    curve.pixelsPerMs = 0.01;
    gsensorCurve->RecalcScale();
    gsensorCurve->Redraw();
    curve.scaleMode = 2;
    gsensorCurve->Redraw();
}

int RecordingCatalog::LoadChunkTrack(int index) {
    ClearTrack();
    currentFile_ = index;
    const RecordingInfo& info = files[size_t(index)].info;

    QFile file(GetFilePath(index));
    if (!RegularFile::Open(file))
        return 0;

    loading = 1;
    const qint64 length = file.size();
    if (gsensorCurve) {
        gsensorCurve->CurveState().samples.clear();
        gsensorCurve->SetPosition(0);
        gsensorCurve->Redraw();
    }

    if (InsideFile(info.gsensorOffset, info.gsensorSize, length) &&
        ReadBlock(file, info.gsensorOffset, info.gsensorSize, &gsensorBlock)) {
        sampleCount = int32_t(gsensorBlock.size() / GSensorSample::kSize);
        std::vector<GSensorSample> handed;
        handed.reserve(size_t(sampleCount));
        for (int i = 0; i < sampleCount; ++i)
            handed.push_back(GSensorSampleAt(i));
        HandSamplesToCurve(info, handed);
    }

    if (InsideFile(info.gpsOffset, info.gpsSize, length) &&
        ReadBlock(file, info.gpsOffset, info.gpsSize, &gpsBlock)) {
        gpsRate = info.gpsParams[0] ? info.gpsParams[0] : 1.0;
        if (mapWindow)
            PlotRoute();
    }

    loading = 0;
    return 1;
}

int RecordingCatalog::LoadMetadataTrack(int index) {
    ClearTrack();
    currentFile_ = index;
    const RecordingInfo& info = files[size_t(index)].info;
    const QString path = GetFilePath(index);

    points.clear();
    samples.clear();
    loading = 1;
    const std::vector<MetaChunkEntry>& chunks = info.metaChunks;
    const bool opened = MetadataRecord::DecodeAll(reader, path, chunks, &points, &samples);

    sampleCount = int32_t(samples.size());
    if (gsensorCurve) {
        gsensorCurve->CurveState().samples.clear();
        gsensorCurve->SetPosition(0);
        gsensorCurve->Redraw();
        // The curve takes the low byte of each stored axis, sign-extended.
        std::vector<GSensorSample> handed;
        handed.reserve(samples.size());
        for (const GSensorSample& s : samples)
            handed.push_back({int8_t(uint8_t(s.x)), int8_t(uint8_t(s.y)), int8_t(uint8_t(s.z))});
        HandSamplesToCurve(info, handed);
    }

    if (!chunks.empty() && !points.empty()) {
        gpsRate = info.gpsParams[0] ? info.gpsParams[0] : 5.0;
        if (mapWindow)
            PlotRoute();
    }

    loading = 0;
    return opened ? 1 : 0;
}
