#pragma once
#include <QString>
#include <QWidget>

// The playback-rate read-out ("2.0 X"), shown only when the rate is not normal.
class CPbSpeedLabelStatic : public QWidget {
    Q_OBJECT
  public:
    explicit CPbSpeedLabelStatic(QWidget* parent = nullptr);

    // `text` in the locale's 8-bit encoding; null counts as empty. Repaints.
    bool SetText(const char* text, bool visible);
    const QString& Text() const { return m_text; }
    bool IsTextVisible() const { return m_bVisible; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QString m_text;
    bool m_bVisible = false;
};
