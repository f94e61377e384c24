#pragma once
// Small recording views for catalog tests: they keep what the catalog told
// them, and the group view answers which rows are chosen.
#include "presenter/CatalogViews.h"

#include <QString>
#include <set>
#include <vector>

struct GroupRowSeen {
    int number;
    QString resolution;
    uint64_t totalDurationMs;
    uint64_t totalSize;
    uint8_t flags;
    int64_t startTime;
};

struct FileRowSeen {
    int groupNumber;
    int indexInGroup;
    QString folderText;
    QString fileName;
    uint32_t durationMs;
    uint64_t fileSize;
    uint8_t flags;
    int64_t startTime;
};

// The drop-highlighted rows of a list and the row last scrolled into view.
struct RowMarks {
    void Set(int row, bool on) {
        if (on)
            highlighted.insert(row);
        else
            highlighted.erase(row);
    }
    std::set<int> highlighted;
    int lastVisible = -1;
};

class FakeGroupList : public GroupListView, public RowMarks {
  public:
    void DeleteAllItems() override {
        rows.clear();
        chosen.clear(); // a refill clears the check boxes
    }
    bool AddGroupRow(int groupNumber, const QString& resolution, uint64_t totalDurationMs,
                     uint64_t totalSize, uint8_t flags, int64_t startTime) override {
        rows.push_back({groupNumber, resolution, totalDurationMs, totalSize, flags, startTime});
        return true;
    }
    void SetDropHighlight(int row, bool on) override { Set(row, on); }
    void EnsureVisible(int row) override { lastVisible = row; }
    bool IsRowChosen(int row) const override { return chosen.count(row) != 0; }

    std::vector<GroupRowSeen> rows;
    std::set<int> chosen;
};

class FakeFileList : public FileListView, public RowMarks {
  public:
    void DeleteAllItems() override { rows.clear(); }
    bool AddFileRow(int groupNumber, int indexInGroup, const QString& folderText,
                    const QString& fileName, uint32_t durationMs, uint64_t fileSize, uint8_t flags,
                    int64_t startTime) override {
        rows.push_back({groupNumber, indexInGroup, folderText, fileName, durationMs, fileSize,
                        flags, startTime});
        return true;
    }
    void SetDropHighlight(int row, bool on) override { Set(row, on); }
    void EnsureVisible(int row) override { lastVisible = row; }

    std::vector<FileRowSeen> rows;
};

class FakeScanCounter : public ScanCounterView {
  public:
    void ShowScanCount(int count) override { shown.push_back(count); }
    std::vector<int> shown;
};
