#include "player/CVlcPlayer.h"
#include "tests/support/core/TestVideos.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Events as libvlc delivers them, with the threads they arrive on.
struct EventLog {
    std::mutex mutex;
    std::vector<int> types;
    bool timeOnCallerThread = false;
    std::thread::id caller = std::this_thread::get_id();

    static void Record(const libvlc_event_t* event, void* data) {
        auto* log = static_cast<EventLog*>(data);
        std::lock_guard<std::mutex> lock(log->mutex);
        log->types.push_back(event->type);
        // Some events (media changed, stopped) come synchronously from the
        // calling thread; time reports never do.
        if (event->type == libvlc_MediaPlayerTimeChanged &&
            std::this_thread::get_id() == log->caller)
            log->timeOnCallerThread = true;
    }
    bool Has(int type) {
        std::lock_guard<std::mutex> lock(mutex);
        return std::find(types.begin(), types.end(), type) != types.end();
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex);
        types.clear();
    }
};

template <typename Predicate> bool WaitFor(Predicate done, int timeoutMs = 8000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

class PlayerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        QString error;
        ASSERT_TRUE(MakeTestVideo(Video(), {}, &error)) << error.toStdString();
        ASSERT_TRUE(MakeTestVideo(dir_->filePath("SECOND.MOV"), {1.0, 160, 90, true}, &error));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static QString Video() { return dir_->filePath("FILE0001F.MOV"); }
    static QString Second() { return dir_->filePath("SECOND.MOV"); }

    void SetUp() override {
        surface_.setAttribute(Qt::WA_NativeWindow);
        surface_.resize(160, 90);
        surface_.show();
    }
    uint32_t Window() { return uint32_t(surface_.winId()); }

    static QTemporaryDir* dir_;
    QWidget surface_;
};
QTemporaryDir* PlayerTest::dir_ = nullptr;

TEST(PlayerWithoutLibrary, IsUnavailableAndEveryOperationIsHarmless) {
    CVlcPlayer player(0, "libhalvex-no-such-library.so");
    EXPECT_EQ(player.m_bAvailable, 0);
    EXPECT_EQ(player.Api(), nullptr);
    EventLog log;
    player.AttachEvents(&EventLog::Record, &log);
    player.SetWindow(42);
    player.OpenMedia(QString("/nowhere/FILE.MOV"), 1);
    player.Play();
    player.Pause();
    player.SetRate(2.0f);
    player.SetVolume(200);
    player.SetMute(1);
    player.SetTime(1000);
    player.Stop();
    EXPECT_EQ(player.GetLength(), 0);
    EXPECT_EQ(player.GetTime(), 0);
    EXPECT_EQ(player.Recreate(0), 0);
    EXPECT_EQ(player.TakeSnapshot("/tmp/never.png", 0, 0), -1);
    EXPECT_FALSE(player.HasMedia());
    EXPECT_TRUE(player.MediaPath().isEmpty());
}

TEST(PlayerWithoutLibrary, LibraryMissingAFunctionIsUnavailable) {
    // A real shared library that is not libvlc: loading works, resolving fails.
    CVlcPlayer player(0, "libz.so.1");
    EXPECT_EQ(player.m_bAvailable, 0);
}

TEST_F(PlayerTest, PlaysIntoANativeWindowAndReportsEventsOnItsOwnThreads) {
    CVlcPlayer player;
    ASSERT_EQ(player.m_bAvailable, 1);
    EventLog log;
    player.AttachEvents(&EventLog::Record, &log);
    player.SetWindow(Window());
    EXPECT_EQ(player.Window(), Window());
    player.OpenMedia(Video(), 0);
    EXPECT_EQ(player.MediaPath(), Video().toUtf8());
    player.Play();
    ASSERT_TRUE(WaitFor([&] { return log.Has(libvlc_MediaPlayerTimeChanged); }));
    EXPECT_TRUE(log.Has(libvlc_MediaPlayerOpening));
    EXPECT_TRUE(log.Has(libvlc_MediaPlayerPlaying));
    EXPECT_FALSE(log.timeOnCallerThread);
    EXPECT_NEAR(double(player.GetLength()), 2000.0, 100.0);
    unsigned w = 0, h = 0;
    ASSERT_TRUE(WaitFor([&] { return player.VideoSize(&w, &h); }));
    EXPECT_EQ(w, 160u);
    EXPECT_EQ(h, 90u);
    ASSERT_TRUE(WaitFor([&] { return log.Has(libvlc_MediaPlayerEndReached); }));
    player.Stop();
    EXPECT_TRUE(WaitFor([&] { return log.Has(libvlc_MediaPlayerStopped); }));
}

TEST_F(PlayerTest, RateVolumeMuteAndSeekReachTheLibrary) {
    CVlcPlayer player;
    ASSERT_EQ(player.m_bAvailable, 1);
    EventLog log;
    player.AttachEvents(&EventLog::Record, &log);
    player.SetWindow(Window());
    player.OpenMedia(Video(), 0);
    player.SetRate(0.5f);
    EXPECT_FLOAT_EQ(player.m_fRate, 0.5f);
    EXPECT_FLOAT_EQ(player.Rate(), 0.5f);
    player.Play();
    ASSERT_TRUE(WaitFor([&] { return log.Has(libvlc_MediaPlayerTimeChanged); }));
    player.SetVolume(140);
    EXPECT_EQ(player.m_nVolume, 140);
    player.SetMute(1);
    EXPECT_TRUE(WaitFor([&] { return player.Muted() == 1; }));
    player.SetTime(1500);
    EXPECT_TRUE(WaitFor([&] { return player.GetTime() >= 1400; }));
    EXPECT_LT(player.GetTime(), 2000);
    player.Stop();
}

TEST_F(PlayerTest, NoAudioOptionLeavesThePlayerSilent) {
    for (int noAudio : {0, 1}) {
        CVlcPlayer player;
        ASSERT_EQ(player.m_bAvailable, 1);
        EventLog log;
        player.AttachEvents(&EventLog::Record, &log);
        player.SetWindow(Window());
        player.OpenMedia(Video(), noAudio);
        player.SetVolume(200);
        player.Play();
        ASSERT_TRUE(WaitFor([&] { return log.Has(libvlc_MediaPlayerTimeChanged); }));
        if (noAudio) {
            QThread::msleep(200);
            EXPECT_EQ(player.AudioTrack(), -1);
        } else {
            EXPECT_TRUE(WaitFor([&] { return player.AudioTrack() != -1; }));
        }
        player.Stop();
    }
}

TEST_F(PlayerTest, RecreateWithoutMediaKeepsThePlayer) {
    CVlcPlayer player;
    EventLog log;
    player.AttachEvents(&EventLog::Record, &log);
    player.SetWindow(Window());
    EXPECT_EQ(player.Recreate(0), 0);
    EXPECT_EQ(player.m_bAvailable, 1);
    EXPECT_EQ(player.Window(), Window());
    player.OpenMedia(Second(), 1);
    player.Play();
    EXPECT_TRUE(WaitFor([&] { return log.Has(libvlc_MediaPlayerTimeChanged); }));
    player.Stop();
}

TEST_F(PlayerTest, RecreateAfterMediaStartsAfreshWithCallbackVolumeAndRate) {
    CVlcPlayer player;
    EventLog log;
    player.AttachEvents(&EventLog::Record, &log);
    player.SetWindow(Window());
    player.SetVolume(60);
    player.SetRate(2.0f);
    player.OpenMedia(Second(), 1);
    player.Play();
    ASSERT_TRUE(WaitFor([&] { return log.Has(libvlc_MediaPlayerPlaying); }));

    EXPECT_EQ(player.Recreate(0), 1);
    EXPECT_EQ(player.m_bAvailable, 1);
    EXPECT_FALSE(player.HasMedia());
    EXPECT_EQ(player.Window(), 0u);
    EXPECT_EQ(player.State(), libvlc_NothingSpecial);
    EXPECT_FLOAT_EQ(player.Rate(), 2.0f);

    log.Clear();
    player.SetWindow(Window());
    player.OpenMedia(Second(), 1);
    player.Play();
    EXPECT_TRUE(WaitFor([&] { return log.Has(libvlc_MediaPlayerTimeChanged); }));
    player.Stop();
}

// Counts media objects made and released through the player's own table of
// library functions, which forwards to the real ones.
struct MediaCounter {
    static inline decltype(&libvlc_media_new_path) realNew = nullptr;
    static inline decltype(&libvlc_media_release) realRelease = nullptr;
    static inline int created = 0;
    static inline int released = 0;
    static libvlc_media_t* New(libvlc_instance_t* instance, const char* path) {
        ++created;
        return realNew(instance, path);
    }
    static void Release(libvlc_media_t* media) {
        ++released;
        realRelease(media);
    }
};

TEST_F(PlayerTest, EveryOpenedMediaIsReleased) {
    {
        CVlcPlayer player;
        ASSERT_EQ(player.m_bAvailable, 1);
        VlcApi& api = *player.Api();
        MediaCounter::realNew = api.libvlc_media_new_path;
        MediaCounter::realRelease = api.libvlc_media_release;
        api.libvlc_media_new_path = &MediaCounter::New;
        api.libvlc_media_release = &MediaCounter::Release;
        for (int i = 0; i < 25; ++i)
            player.OpenMedia(i % 2 ? Video() : Second(), 1);
        EXPECT_EQ(MediaCounter::created, 25);
        EXPECT_EQ(MediaCounter::released, 24);
    }
    EXPECT_EQ(MediaCounter::released, 25);
}

} // namespace
