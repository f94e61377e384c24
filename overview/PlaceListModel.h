#pragma once
#include "cardindex/CardIndexTypes.h"

#include <QAbstractTableModel>
#include <QStringList>
#include <vector>

class OverviewData;

// "When was I here?" as the place list shows it: each recording passing the
// place or the box, its local time there (to the second) and its distance,
// earliest first.
class PlaceListModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Role {
        kRecordingRole = Qt::UserRole, // the recording's index
        kOffsetRole,                   // ms into it
    };
    static constexpr int kColumns = 3;

    explicit PlaceListModel(QObject* parent = nullptr);

    // The hits of a question about `data`; hits of no recording of it are
    // left out.
    void SetHits(const std::vector<NearHit>& hits, const OverviewData& data);
    void Clear();
    // The headers again, in the current language.
    void SetTexts();
    const QStringList& RowTexts(int row) const { return rows_[size_t(row)].texts; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    struct Row {
        NearHit hit;
        QStringList texts;
    };
    std::vector<Row> rows_;
    QStringList headers_;
};
