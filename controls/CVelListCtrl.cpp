#include "controls/CVelListCtrl.h"

#include "controls/PadlockImages.h"
#include "strings/UiStrings.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QToolTip>

namespace {

constexpr int kDropHighlightRole = Qt::UserRole + 1;

// Paints the drop-highlighted row in the accent colour (selection still
// wins), and outlines check boxes, which the style draws dark on dark.
class DropHighlightDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        if (!index.data(Qt::CheckStateRole).isValid())
            return;
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QWidget* widget = opt.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        const QRect box =
            style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &opt, widget);
        painter->save();
        painter->setPen(QColor(150, 152, 160));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(box.adjusted(0, 0, -1, -1));
        painter->restore();
    }

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.siblingAtColumn(0).data(kDropHighlightRole).toBool()) {
            option->backgroundBrush = CVelListCtrl::kDropHighlight;
            option->palette.setColor(QPalette::Text, Qt::white);
        }
    }
};

QPalette DarkPalette(QPalette p) {
    const QColor base(18, 18, 20), text(215, 218, 222);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, base);
        p.setColor(group, QPalette::AlternateBase, QColor(24, 24, 27));
        p.setColor(group, QPalette::Window, QColor(28, 28, 31));
        p.setColor(group, QPalette::Button, QColor(34, 34, 38));
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::Highlight, QColor(72, 76, 86));
        p.setColor(group, QPalette::HighlightedText, Qt::white);
        p.setColor(group, QPalette::Mid, QColor(52, 52, 58));
        p.setColor(group, QPalette::Midlight, QColor(52, 52, 58));
        p.setColor(group, QPalette::Dark, QColor(10, 10, 12));
    }
    return p;
}

} // namespace

const QColor CVelListCtrl::kDropHighlight(30, 120, 195);

CVelListCtrl::CVelListCtrl(QWidget* parent) : QTableWidget(parent) {
    setPalette(DarkPalette(palette()));
    horizontalHeader()->setPalette(palette());
    setItemDelegate(new DropHighlightDelegate(this));
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setIconSize(QSize(24, 24));
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(26);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
}

void CVelListCtrl::SetUpColumns(const std::vector<unsigned>& titleIds, int widthNumerator,
                                int widthDenominator) {
    m_titleIds = titleIds;
    setColumnCount(int(titleIds.size()));
    for (int c = 0; c < columnCount(); ++c) {
        auto* header = new QTableWidgetItem;
        header->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        setHorizontalHeaderItem(c, header);
        setColumnWidth(c, width() * widthNumerator / widthDenominator);
    }
    Retitle();
}

void CVelListCtrl::Retitle() {
    for (int c = 0; c < int(m_titleIds.size()); ++c)
        horizontalHeaderItem(c)->setText(LoadUiString(m_titleIds[size_t(c)]));
}

bool CVelListCtrl::AppendRow(const QStringList& texts, uint8_t flags, bool checkable) {
    const int row = rowCount();
    insertRow(row);
    for (int c = 0; c < columnCount() && c < texts.size(); ++c) {
        auto* item = new QTableWidgetItem(texts[c]);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        if (c == 0) {
            item->setIcon(QIcon(PadlockImage(flags & 3)));
            if (checkable) {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            }
        }
        setItem(row, c, item);
    }
    return true;
}

bool CVelListCtrl::IsDropHighlighted(int row) const {
    const QTableWidgetItem* first = row >= 0 && row < rowCount() ? item(row, 0) : nullptr;
    return first && first->data(kDropHighlightRole).toBool();
}

void CVelListCtrl::SetDropHighlightRow(int row, bool on) {
    QTableWidgetItem* first = row >= 0 && row < rowCount() ? item(row, 0) : nullptr;
    if (!first)
        return;
    first->setData(kDropHighlightRole, on);
    viewport()->update();
}

void CVelListCtrl::EnsureRowVisible(int row) {
    if (QTableWidgetItem* first = row >= 0 && row < rowCount() ? item(row, 0) : nullptr)
        scrollToItem(first);
}

void CVelListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    // A double-click below the last row activates row -1, which the main
    // window ignores.
    emit RowActivated(rowAt(event->position().toPoint().y()));
}

bool CVelListCtrl::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QTableWidget::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString text = index.data(Qt::DisplayRole).toString();
    if (index.isValid() && !text.isEmpty()) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        if (itemDelegateForIndex(index)->sizeHint(option, index).width() > option.rect.width()) {
            QToolTip::showText(help->globalPos(), text, viewport(), option.rect);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}
