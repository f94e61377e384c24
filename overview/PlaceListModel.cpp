#include "overview/PlaceListModel.h"

#include "overview/OverviewData.h"
#include "presenter/FigureTexts.h"
#include "strings/UiStrings.h"

#include <algorithm>

PlaceListModel::PlaceListModel(QObject* parent) : QAbstractTableModel(parent) {
    SetTexts();
}

void PlaceListModel::SetHits(const std::vector<NearHit>& hits, const OverviewData& data) {
    beginResetModel();
    rows_.clear();
    // In time order: the passes read as a history of the place.
    std::vector<NearHit> byTime = hits;
    std::stable_sort(byTime.begin(), byTime.end(),
                     [](const NearHit& a, const NearHit& b) { return a.utcMs < b.utcMs; });
    for (const NearHit& hit : byTime) {
        const IndexedRecording* recording = data.Recording(hit.recording);
        if (!recording)
            continue;
        rows_.push_back(
            {hit,
             {recording->fileName, FigureTexts::LocalTime(hit.utcMs, "yyyy-MM-dd HH:mm:ss"),
              FigureTexts::Metres(hit.distanceM)}});
    }
    endResetModel();
}

void PlaceListModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void PlaceListModel::SetTexts() {
    headers_ = QStringList{LoadUiString(UiStringId::kOverviewColRecording),
                           LoadUiString(UiStringId::kOverviewColTime),
                           LoadUiString(UiStringId::kOverviewColDistance)};
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

int PlaceListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int PlaceListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant PlaceListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || size_t(index.row()) >= rows_.size())
        return {};
    const Row& row = rows_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return index.column() < row.texts.size() ? row.texts[index.column()] : QString();
    case kRecordingRole:
        return row.hit.recording;
    case kOffsetRole:
        return qint64(row.hit.offsetMs);
    default:
        return {};
    }
}

QVariant PlaceListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= headers_.size())
        return {};
    return headers_[section];
}
