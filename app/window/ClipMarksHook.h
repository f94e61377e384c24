#pragma once
// The clip's marks in the main window: [ and ] (and the position slider's
// right-click menu) set them; they are kept as absolute times, so a clip may
// run across the recordings that follow each other; the slider shows them.
#include <QObject>
#include <QString>
#include <cstdint>
#include <optional>

class CVELDlg;
class ClipMarksBar;
class PlayerPair;
class QWidget;

class ClipMarksHook : public QObject {
    Q_OBJECT
  public:
    // The marks show on `slider`; they follow the pair's play time.
    ClipMarksHook(CVELDlg& window, QWidget* slider, const PlayerPair& players);

    void MarkStart() { Mark(true, PlayPositionMs()); }
    void MarkEnd() { Mark(false, PlayPositionMs()); }
    // Opens the export dialog for the marks.
    void Export();
    // Opens it for the time around a moment of a listed recording (offset
    // from its start), over `parent`: an event's 15 s before and after.
    void ExportAround(QWidget* parent, const QString& path, int64_t offsetMs);

    std::optional<int64_t> Start() const { return start_; }
    std::optional<int64_t> End() const { return end_; }

  private:
    void ExportSpan(QWidget* parent, const QString& fileName, int64_t fromMs, int64_t toMs);
    void Mark(bool start, std::optional<int64_t> atMs);
    // The play position as camera-clock ms since 1970; nullopt when nothing plays.
    std::optional<int64_t> PlayPositionMs() const;
    // The slider's x as camera-clock ms in the current recording.
    std::optional<int64_t> SliderPositionMs(int x) const;
    void ShowMenu(const QPoint& at);
    void Refresh();

    CVELDlg& window_;
    QWidget* slider_;
    const PlayerPair& players_;
    ClipMarksBar* bar_;
    std::optional<int64_t> start_, end_;
};
