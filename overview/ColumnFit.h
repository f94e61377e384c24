#pragma once
#include <QFont>
#include <QStringList>
#include <vector>

class QTreeView;

// Column widths that fit a list's texts, found while its rows are made.
// Asking the list afterwards lays every cell out through its delegate: tens
// of milliseconds for a card's trips, on the thread that also shows the map.
class ColumnFit {
  public:
    ColumnFit(int columns, const QFont& font);
    void Add(const QStringList& texts, bool bold = false);
    // Each column as wide as its widest text or its header, whichever is
    // wider; the columns' total width.
    int Apply(QTreeView* list) const;

  private:
    // Per column and font, the longest texts: only those are measured. A
    // text shorter by two characters is narrower in any font these lists use.
    struct Longest {
        int length = 0;
        QStringList texts;
    };
    std::vector<Longest> plain_, bold_;
    QFont font_;
};
