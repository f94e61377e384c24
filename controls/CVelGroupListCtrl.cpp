#include "controls/CVelGroupListCtrl.h"

#include "controls/ListRowTexts.h"
#include "strings/UiStringIds.h"

#include <QItemSelectionModel>

CVelGroupListCtrl::CVelGroupListCtrl(QWidget* parent) : CVelListCtrl(parent) {}

void CVelGroupListCtrl::SetUp() {
    // Group, Resolution, Start Time, Length, File Size: each 1/5 of the width.
    SetUpColumns({UiStringId::kGroupColumn, UiStringId::kResolutionColumn,
                  UiStringId::kStartTimeColumn, UiStringId::kLengthColumn,
                  UiStringId::kFileSizeColumn},
                 1, 5);
}

bool CVelGroupListCtrl::AddGroupRow(int groupNumber, const QString& resolution,
                                    uint64_t totalDurationMs, uint64_t totalSize, uint8_t flags,
                                    int64_t startTime) {
    return AppendRow(GroupRowTexts(groupNumber, resolution, totalDurationMs, totalSize, startTime),
                     flags, true);
}

bool CVelGroupListCtrl::IsRowChecked(int row) const {
    const QTableWidgetItem* first = row >= 0 && row < rowCount() ? item(row, 0) : nullptr;
    return first && first->checkState() == Qt::Checked;
}

void CVelGroupListCtrl::SetRowChecked(int row, bool checked) {
    if (QTableWidgetItem* first = row >= 0 && row < rowCount() ? item(row, 0) : nullptr)
        first->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool CVelGroupListCtrl::IsRowChosen(int row) const {
    if (row < 0 || row >= rowCount())
        return false;
    return IsRowChecked(row) || selectionModel()->isRowSelected(row, QModelIndex());
}
