#include "overview/DrivingCalendar.h"

#include <QPainter>
#include <QPalette>

DrivingCalendar::DrivingCalendar(QWidget* parent)
    : QCalendarWidget(parent), texts_(FigureTexts::OfViewer()) {
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setGridVisible(true);
    // Room for the distance under the day's number.
    setMinimumHeight(240);
    connect(this, &QCalendarWidget::clicked, this, [this](QDate day) {
        if (distanceM_.count(day))
            emit DayChosen(day);
    });
}

void DrivingCalendar::SetDays(const std::vector<DayTotal>& days, const FigureTexts& texts) {
    texts_ = texts;
    chosen_ = QDate();
    distanceM_.clear();
    for (const DayTotal& d : days)
        distanceM_[d.day] = d.distanceM;
    if (!distanceM_.empty()) {
        const QDate last = distanceM_.rbegin()->first;
        setCurrentPage(last.year(), last.month());
    }
    updateCells();
}

void DrivingCalendar::SetTexts(const FigureTexts& texts) {
    texts_ = texts;
    updateCells();
}

QString DrivingCalendar::DistanceText(const QDate& day) const {
    const auto it = distanceM_.find(day);
    return it == distanceM_.end() ? QString() : texts_.Distance(it->second);
}

void DrivingCalendar::ShowChosen(const QDate& day) {
    chosen_ = day;
    if (day.isValid())
        setSelectedDate(day);
    updateCells();
}

void DrivingCalendar::paintCell(QPainter* painter, const QRect& rect, QDate date) const {
    const QString distance = DistanceText(date);
    if (distance.isEmpty()) {
        QCalendarWidget::paintCell(painter, rect, date);
        return;
    }
    painter->save();
    const QPalette& colours = palette();
    const bool selected = chosen_.isValid() && date == chosen_;
    painter->fillRect(rect, selected ? colours.highlight() : colours.alternateBase());
    painter->setPen(selected ? colours.highlightedText().color() : colours.text().color());
    QFont bold = painter->font();
    bold.setBold(true);
    painter->setFont(bold);
    const QRect top(rect.left(), rect.top(), rect.width(), rect.height() / 2);
    const QRect bottom(rect.left(), rect.top() + rect.height() / 2, rect.width(),
                       rect.height() - rect.height() / 2);
    painter->drawText(top, Qt::AlignCenter, QString::number(date.day()));
    QFont small = painter->font();
    small.setBold(false);
    small.setPointSizeF(small.pointSizeF() * 0.8);
    painter->setFont(small);
    painter->drawText(bottom, Qt::AlignCenter, distance);
    painter->restore();
}
