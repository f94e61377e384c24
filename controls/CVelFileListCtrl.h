#pragma once
#include "controls/CVelListCtrl.h"
#include "presenter/CatalogViews.h"

// The file list: one row per recording, in list order.
class CVelFileListCtrl : public CVelListCtrl, public FileListView {
    Q_OBJECT
  public:
    static constexpr int kControlId = 1027;

    explicit CVelFileListCtrl(QWidget* parent = nullptr);

    // Columns and titles; called once the control has its laid-out width.
    void SetUp();

    void DeleteAllItems() override { DeleteAllRows(); }
    bool AddFileRow(int groupNumber, int indexInGroup, const QString& folderText,
                    const QString& fileName, uint32_t durationMs, uint64_t fileSize, uint8_t flags,
                    int64_t startTime) override;
    void SetDropHighlight(int row, bool on) override { SetDropHighlightRow(row, on); }
    void EnsureVisible(int row) override { EnsureRowVisible(row); }
};
