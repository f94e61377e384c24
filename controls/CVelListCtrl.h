#pragma once
#include <QStringList>
#include <QTableWidget>
#include <vector>

// What the file list and the group list share: a dark report view with grid
// lines and full-row selection, localized column titles, the padlock image
// of each row, the drop-highlight mark of the current row and the row that
// a double-click activates.
class CVelListCtrl : public QTableWidget {
    Q_OBJECT
  public:
    // The fill colour of the drop-highlighted (current) row.
    static const QColor kDropHighlight;

    // Column titles from the string table in the current language; widths
    // as they were.
    void Retitle();
    // The string ids of the column titles, in column order.
    const std::vector<unsigned>& TitleIds() const { return m_titleIds; }

    bool IsDropHighlighted(int row) const;
    void SetDropHighlightRow(int row, bool on);
    void EnsureRowVisible(int row);
    void DeleteAllRows() { setRowCount(0); }

  signals:
    // A double-click on a row (the file list's WM_FILE_ACTIVATE, the group
    // list's WM_GROUP_ACTIVATE); -1 below the last row.
    void RowActivated(int row);

  protected:
    explicit CVelListCtrl(QWidget* parent);
    // Report view, columns of equal width (a fraction of the control's
    // width), titled by string ids.
    void SetUpColumns(const std::vector<unsigned>& titleIds, int widthNumerator,
                      int widthDenominator);
    // Appends a row; the first column carries the image of the lock flags,
    // and a check box when asked.
    bool AppendRow(const QStringList& texts, uint8_t flags, bool checkable);

    void mouseDoubleClickEvent(QMouseEvent* event) override;
    // A cell whose text is cut off at its column's width shows the whole
    // text as its tool-tip; the widths stay as they are.
    bool viewportEvent(QEvent* event) override;

  private:
    std::vector<unsigned> m_titleIds;
};
