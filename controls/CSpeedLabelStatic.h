#pragma once
#include <QString>
#include <QWidget>
#include <cstdint>

// The speed read-out: a number and its unit. A double-click switches between
// km/h and miles per hour.
class CSpeedLabelStatic : public QWidget {
    Q_OBJECT
  public:
    explicit CSpeedLabelStatic(QWidget* parent = nullptr);

    void SetSpeed(uint16_t kmh) { m_nSpeed = kmh; }
    uint16_t Speed() const { return m_nSpeed; }
    // Without a valid value nothing is drawn; the unit choice is kept.
    void SetValid(bool valid) { m_bValid = valid; }
    bool IsValid() const { return m_bValid; }
    void SetKilometres(bool km) { m_bKm = km; }
    bool IsKilometres() const { return m_bKm; }

    // Rebuilds the number and unit texts; the caller repaints.
    bool UpdateText();
    const QString& NumberText() const { return m_number; }
    const QString& UnitText() const { return m_unit; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QString m_number;
    QString m_unit;
    bool m_bKm = true;
    bool m_bValid = true;
    uint16_t m_nSpeed = 0;
};
