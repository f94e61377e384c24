#pragma once
// A window with real widgets standing in for the main window's controls, two
// real players and a catalog of real files, so that the playback classes can
// be driven without the whole main window.
#include "app/playback/PlaybackView.h"
#include "app/window/PlaybackLogic.h"
#include "player/CVlcPlayer.h"
#include "presenter/CatalogPresenter.h"
#include "recordings/RecordingCatalog.h"
#include "tests/support/core/ScratchSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSlider>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>

// The harness's main window.
class HarnessWindow : public QWidget {
  public:
    PlaybackLogic* logic = nullptr;

  protected:
    bool event(QEvent* event) override;
};

class HarnessView : public PlaybackView {
  public:
    HarnessView();
    HarnessWindow window;
    QWidget* surfaces[2];
    QSlider position;
    QSlider volume;

    QWidget* VideoSurface(Camera c) override { return surfaces[int(c)]; }
    bool SurfaceHidden(Camera c) const override { return hidden[int(c)]; }
    void SetSurfaceHidden(Camera c, bool h) override {
        hidden[int(c)] = h;
        surfaces[int(c)]->setVisible(!h);
    }
    void FitVideosToAspect() override { ++fits; }
    void SetPlayButtonState(int s) override { playButton = s; }
    int MuteButtonState() const override { return muteButton; }
    void SetLockButtonState(int s) override { lockButton = s; }
    void SetPositionSliderRange(int lo, int hi) override { position.setRange(lo, hi); }
    int PositionSliderPos() const override { return position.value(); }
    void SetPositionSliderPos(int p) override { position.setValue(p); }
    void SetVolumeSliderRange(int lo, int hi) override { volume.setRange(lo, hi); }
    int VolumeSliderPos() const override { return volume.value(); }
    void SetVolumeSliderPos(int p) override { volume.setValue(p); }
    int SeekMinimum() const override { return seekMinimum; }
    int SeekSpan() const override { return seekSpan; }
    void SetSeekHappened() override { seekHappened = true; }
    void SetRateLabel(const QString& text, bool visible) override {
        rateText = text;
        rateVisible = visible;
    }
    void SetGpsIndicator(int s) override { gps = s; }
    void SetCompass(bool valid, int degrees) override {
        compassValid = valid;
        compass = degrees;
    }
    void SetSpeed(bool valid, int kmh) override {
        speedValid = valid;
        speed = kmh;
        ++speedUpdates;
    }
    void PlotDrivenTo(int64_t ms) override { plottedTo.push_back(ms); }
    bool GSensorPaneEnabled() const override { return gsensorOn; }
    bool MapPaneEnabled() const override { return mapOn; }
    void SetScanCounterShown(bool shown) override { scanShown.push_back(shown); }

    bool hidden[2] = {false, false};
    int fits = 0, playButton = 0, muteButton = 0, lockButton = -1, gps = -1;
    std::atomic<int> seekMinimum{0}, seekSpan{1000};
    bool seekHappened = false;
    QString rateText;
    bool rateVisible = false;
    bool compassValid = false, speedValid = false;
    int compass = -1, speed = -1, speedUpdates = 0;
    bool gsensorOn = true, mapOn = true;
    std::vector<bool> scanShown;
    std::vector<int64_t> plottedTo;
};

// The start guard is the controller's own; tests look at it through this.
struct StartGuardProbe {
    static int Busy(const PlaybackController& c) { return c.m_bPlayStartBusy; }
    static void Set(PlaybackController& c, int busy) { c.m_bPlayStartBusy = busy; }
};

// Runs the event loop until done() or the time is up.
template <typename Predicate> bool WaitUntil(Predicate done, int timeoutMs = 8000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

inline void Pump(int ms) {
    WaitUntil([] { return false; }, ms);
}

// Answers the next folder browser a moment after it opens: as a user types a
// folder's path into its name box and accepts, or cancels for "". The folder
// the browser showed first goes to seenDirectory.
void AnswerFolderBrowser(const QString& folder, QString* seenDirectory = nullptr);

struct Harness {
    explicit Harness(const QString& library = VlcApi::LibraryName());
    // Adds a recording to the catalog (one group per call, front file first).
    void AddGroup(const QStringList& paths);
    PlaybackLogic& Logic() { return *logic; }

    HarnessView view;
    RecordingCatalog catalog;
    CatalogPresenter presenter{catalog};
    CVlcPlayer front;
    CVlcPlayer rear;
    std::unique_ptr<PlaybackLogic> logic;
};

// A test of the playback logic whose settings file lives in a scratch
// working directory, with a fresh harness for every case.
class HarnessTest : public ScratchSettingsTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<Harness> h_;
};

// A harness test whose catalog lists a front and rear pair (group 0) and a
// lone front file (group 1): real 20 s videos, long enough to be still
// playing whenever a case looks.
class RecordedPairTest : public HarnessTest {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;

    static QTemporaryDir* videos_;
};
