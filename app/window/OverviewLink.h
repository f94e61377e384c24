#pragma once
#include "overview/OverviewWindow.h"
#include "platform/BackgroundJob.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <memory>

class CVELDlg;
class CatalogPresenter;
class ClipMarksHook;
class PlayerPair;

// Ties the card overview to the main window: opens it (strip menu, Ctrl+T),
// reads the card into it in the background each time the lists have been
// filled, and plays the moments picked in it through the main window's own
// list activation and slider seek; an event's clip goes to the clip marks'
// export.
class OverviewLink : public QObject {
    Q_OBJECT
  public:
    OverviewLink(CVELDlg& window, CatalogPresenter& presenter, const PlayerPair& players,
                 ClipMarksHook& clipMarks);
    ~OverviewLink() override;

    // Shows the overview window, made on first use.
    void Open();
    OverviewWindow* Window() const { return overview_; }
    // Shows a card's answers in the overview (opened or not yet).
    void ShowData(std::shared_ptr<const OverviewData> data);
    // What the overview shows or will show: null until a card was read.
    std::shared_ptr<const OverviewData> Data() const { return data_; }

    // Starts the recording at `path` (a listed file) and seeks it to the
    // offset once the players report its time; a recording already playing
    // is only sought.
    void PlayMoment(const QString& path, qint64 offsetMs);

  private:
    void StartBuild();
    // Opens the library again after deletions, up to `tries` times.
    void ReopenLibrary(int tries);
    void TrySeek();
    // Asks again for a start that the lists' guards refused.
    void RestartPending();

    CVELDlg& window_;
    ClipMarksHook& clipMarks_;
    QPointer<OverviewWindow> overview_;
    std::shared_ptr<const OverviewData> data_;
    // The library the data is of, "" for a card.
    QString library_;
    QTimer buildSoon_;
    QStringList builtFor_;
    BackgroundJob build_;
    // The moment waiting for its recording to play.
    QString pendingPath_;
    qint64 pendingOffsetMs_ = 0;
    QElapsedTimer pendingSince_;
    QTimer restart_;
};
