#pragma once
#include "overview/DayTotals.h"
#include "presenter/FigureTexts.h"

#include <QCalendarWidget>
#include <QDate>
#include <map>
#include <vector>

// The driving days of a library month by month: each day that has trips
// shows its distance, and a click on one chooses that day.
class DrivingCalendar : public QCalendarWidget {
    Q_OBJECT
  public:
    explicit DrivingCalendar(QWidget* parent = nullptr);

    // The days with trips; the calendar opens on the month of the last one.
    void SetDays(const std::vector<DayTotal>& days, const FigureTexts& texts);
    // The distances again in the viewer's unit.
    void SetTexts(const FigureTexts& texts);
    // The text a day's cell shows under its number; "" on a day without trips.
    QString DistanceText(const QDate& day) const;
    // The day the overview shows, marked; an invalid day marks none.
    void ShowChosen(const QDate& day);

  signals:
    void DayChosen(const QDate& day);

  protected:
    void paintCell(QPainter* painter, const QRect& rect, QDate date) const override;

  private:
    std::map<QDate, double> distanceM_;
    FigureTexts texts_;
    QDate chosen_;
};
