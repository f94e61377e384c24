#pragma once
#include "player/VlcApi.h"

#include <QByteArray>
#include <QString>
#include <atomic>
#include <cstdint>
#include <memory>

class PlayerPair;

// One libvlc instance, its media player and the media last opened, drawing
// into one native window and reporting the player's events to one callback.
// When the library cannot be loaded or an object cannot be created the player
// is unavailable and every operation does nothing.
class CVlcPlayer {
  public:
    using EventCallback = libvlc_callback_t;

    // Loads the library and creates instance and player (argument set 0:
    // no interface, the user's VLC configuration ignored).
    explicit CVlcPlayer(int argSet = 0, const QString& library = VlcApi::LibraryName());
    ~CVlcPlayer();
    CVlcPlayer(const CVlcPlayer&) = delete;
    CVlcPlayer& operator=(const CVlcPlayer&) = delete;

    // Throws the media, player and instance away and creates them anew, which
    // empties the picture; 0 when there was no media or creation failed (the
    // latter makes the player unavailable for good).
    int Recreate(int argSet);

    // Attaches the callback to the player events the viewer handles; it runs
    // on libvlc's threads.
    void AttachEvents(EventCallback callback, void* userData);
    // Detaches it again; returns once a callback in progress has finished.
    void DetachEvents();

    // Sets a new media on the player (the previous one is released). With
    // noAudio the media's sound is not decoded at all.
    void OpenMedia(const QByteArray& utf8Path, int noAudio);
    void OpenMedia(const QString& path, int noAudio) { OpenMedia(path.toUtf8(), noAudio); }

    // Operations on the player handle; all do nothing on an unavailable player.
    void SetWindow(uint32_t xwindow);
    void Play();
    void Pause();
    void Stop();
    void SetRate(float rate); // kept in m_fRate
    int64_t GetLength() const;
    int64_t GetTime() const;
    void SetTime(int64_t ms);
    void SetVolume(int volume); // 0..200, kept in m_nVolume
    void SetMute(int mute);
    int TakeSnapshot(const QString& path, unsigned width, unsigned height);
    // A line of text drawn onto the picture in its top-right corner by
    // libvlc's marquee; an empty text removes it.
    void SetMarquee(const QString& text);
    const QString& Marquee() const { return marquee_; }

    // What libvlc reports, for layout and checks; neutral values when unavailable.
    libvlc_state_t State() const;
    float Rate() const;
    int Volume() const;
    int Muted() const;
    int AudioTrack() const; // -1: no sound is decoded
    bool VideoSize(unsigned* width, unsigned* height) const;
    uint32_t Window() const { return xwindow_; }
    const QByteArray& MediaPath() const { return mediaPath_; }
    bool HasMedia() const { return media_ != nullptr; }

    // The resolved functions, null when the library is not loaded.
    const std::shared_ptr<VlcApi>& Api() const { return api_; }

    // Whether the viewer last told the player to play, or to pause: both
    // false after a stop. Read on libvlc's threads too.
    bool IsPlaying() const { return m_bPlaying != 0; }
    bool IsPaused() const { return m_bPaused != 0; }

    // Read by the event callbacks on libvlc's threads, hence atomic.
    std::atomic<int> m_bAvailable{1};
    int m_nArgSet = 0;
    int m_nVolume = 0;
    float m_fRate = 1.0f;

  private:
    // The pair of players is the one writer of the marks above: it keeps
    // them and its playback state in step.
    friend class PlayerPair;
    std::atomic<int> m_bPlaying{0};
    std::atomic<int> m_bPaused{1};

    bool CreateObjects();
    void AttachStoredCallback();

    std::shared_ptr<VlcApi> api_;
    QString marquee_;
    libvlc_instance_t* instance_ = nullptr;
    libvlc_media_player_t* player_ = nullptr;
    libvlc_media_t* media_ = nullptr;
    libvlc_event_manager_t* events_ = nullptr;
    void* userData_ = nullptr;
    EventCallback callback_ = nullptr;
    QByteArray mediaPath_;
    uint32_t xwindow_ = 0;
};
