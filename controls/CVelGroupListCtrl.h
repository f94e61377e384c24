#pragma once
#include "controls/CVelListCtrl.h"
#include "presenter/CatalogViews.h"

// The group list: one row per group, with a check box for choosing groups
// for the file operations.
class CVelGroupListCtrl : public CVelListCtrl, public GroupListView {
    Q_OBJECT
  public:
    static constexpr int kControlId = 1028;

    explicit CVelGroupListCtrl(QWidget* parent = nullptr);

    // Columns and titles; called once the control has its laid-out width.
    void SetUp();

    void DeleteAllItems() override { DeleteAllRows(); }
    bool AddGroupRow(int groupNumber, const QString& resolution, uint64_t totalDurationMs,
                     uint64_t totalSize, uint8_t flags, int64_t startTime) override;
    void SetDropHighlight(int row, bool on) override { SetDropHighlightRow(row, on); }
    void EnsureVisible(int row) override { EnsureRowVisible(row); }
    bool IsRowChosen(int row) const override;

    bool IsRowChecked(int row) const;
    void SetRowChecked(int row, bool checked);
};
