#pragma once
#include <QPointer>
#include <QStringList>
#include <QTableWidget>
#include <vector>

// What the file list and the group list share: a dark report view with grid
// lines and full-row selection, localized column titles, the padlock image
// of each row, the drop-highlight mark of the current row and the message
// that a double-click sends to the main window.
class CVelListCtrl : public QTableWidget {
    Q_OBJECT
  public:
    // The fill colour of the drop-highlighted (current) row.
    static const QColor kDropHighlight;

    // The window that receives the activation message; may be null.
    void SetMessageTarget(QObject* target) { m_target = target; }
    // Column titles from the string table in the current language; widths
    // as they were.
    void Retitle();
    // The string ids of the column titles, in column order.
    const std::vector<unsigned>& TitleIds() const { return m_titleIds; }

    bool IsDropHighlighted(int row) const;
    void SetDropHighlightRow(int row, bool on);
    void EnsureRowVisible(int row);
    void DeleteAllRows() { setRowCount(0); }

  protected:
    CVelListCtrl(QWidget* parent, unsigned activateMessage);
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
    unsigned m_activateMessage;
    QPointer<QObject> m_target;
    std::vector<unsigned> m_titleIds;
};
