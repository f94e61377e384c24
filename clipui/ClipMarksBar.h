#pragma once
// The clip's marks drawn over the position slider: a green tick where the
// clip starts, a red one where it ends, the span between them tinted. It
// takes no mouse input, so the slider works as before.
#include <QWidget>
#include <optional>

class ClipMarksBar : public QWidget {
    Q_OBJECT
  public:
    // Covers the slider and follows its size.
    explicit ClipMarksBar(QWidget* slider);

    // The marks as shares of the slider's length (outside 0..1: before or
    // after the current recording); nullopt when not set.
    void SetMarks(std::optional<double> start, std::optional<double> end);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    std::optional<double> start_, end_;
};
