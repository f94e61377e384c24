#include "player/CVlcPlayer.h"

#include "platform/LogCategories.h"
#include "player/AlsaMessages.h"
#include "player/VlcLog.h"

#include <QFile>
#include <algorithm>
#include <vector>

namespace {

// The player events the viewer listens to, in the order they are attached.
constexpr libvlc_event_type_t kPlayerEvents[] = {
    libvlc_MediaPlayerPositionChanged,  libvlc_MediaPlayerSeekableChanged,
    libvlc_MediaPlayerTimeChanged,      libvlc_MediaPlayerMediaChanged,
    libvlc_MediaPlayerOpening,          libvlc_MediaPlayerBuffering,
    libvlc_MediaPlayerPlaying,          libvlc_MediaPlayerPaused,
    libvlc_MediaPlayerStopped,          libvlc_MediaPlayerEndReached,
    libvlc_MediaPlayerEncounteredError,
};

std::vector<const char*> Arguments(int argSet) {
    if (argSet == 0)
        return {"-I", "dummy", "--ignore-config"};
    return {""};
}

// libvlc 3 loads every library in its own plug-in folder and then in each
// folder named by VLC_PLUGIN_PATH. An inherited value could point at the
// working or configuration folder, where anyone who can drop a file would
// run code in the viewer, so only libvlc's installed folder is scanned.
void UseOnlyInstalledPlugins() {
    qunsetenv("VLC_PLUGIN_PATH");
}

} // namespace

CVlcPlayer::CVlcPlayer(int argSet, const QString& library) : m_nArgSet(argSet) {
    api_ = VlcApi::Load(library);
    if (!api_) {
        m_bAvailable = 0;
        return;
    }
    if (!CreateObjects())
        m_bAvailable = 0;
}

CVlcPlayer::~CVlcPlayer() {
    if (m_bAvailable) {
        // Releasing the player stops it and waits for its threads, so no
        // callback runs after this.
        if (player_)
            api_->libvlc_media_player_release(player_);
        if (media_)
            api_->libvlc_media_release(media_);
        if (instance_)
            api_->libvlc_release(instance_);
    }
    api_.reset();
}

bool CVlcPlayer::CreateObjects() {
    UseOnlyInstalledPlugins();
    RouteAlsaMessagesToDiagnostics();
    std::vector<const char*> args = Arguments(m_nArgSet);
    // Quiet keeps libvlc's console and FFmpeg's own log shut until the
    // messages are taken over below.
    if (!lcDiag().isDebugEnabled())
        args.push_back("--quiet");
    instance_ = api_->libvlc_new(int(args.size()), args.data());
    if (!instance_)
        return false;
    VlcLog::Attach(*api_, instance_);
    player_ = api_->libvlc_media_player_new(instance_);
    if (!player_)
        return false;
    events_ = api_->libvlc_media_player_event_manager(player_);
    if (!events_)
        return false;
    api_->libvlc_audio_set_volume(player_, m_nVolume);
    return true;
}

int CVlcPlayer::Recreate(int argSet) {
    m_nArgSet = argSet;
    if (!m_bAvailable || !media_)
        return 0;
    api_->libvlc_media_release(media_);
    media_ = nullptr;
    if (!player_)
        return 0;
    api_->libvlc_media_player_release(player_);
    player_ = nullptr;
    events_ = nullptr;
    xwindow_ = 0;
    if (!instance_)
        return 0;
    api_->libvlc_release(instance_);
    instance_ = nullptr;
    if (!CreateObjects()) {
        m_bAvailable = 0;
        return 0;
    }
    AttachStoredCallback();
    api_->libvlc_audio_set_volume(player_, m_nVolume);
    // A new player starts at normal speed; keep the rate the caller chose.
    api_->libvlc_media_player_set_rate(player_, m_fRate);
    return 1;
}

void CVlcPlayer::AttachEvents(EventCallback callback, void* userData) {
    if (!m_bAvailable)
        return;
    callback_ = callback;
    userData_ = userData;
    AttachStoredCallback();
}

void CVlcPlayer::AttachStoredCallback() {
    if (!callback_ || !events_)
        return;
    for (libvlc_event_type_t type : kPlayerEvents)
        api_->libvlc_event_attach(events_, type, callback_, userData_);
}

void CVlcPlayer::DetachEvents() {
    if (!m_bAvailable || !callback_ || !events_)
        return;
    for (libvlc_event_type_t type : kPlayerEvents)
        api_->libvlc_event_detach(events_, type, callback_, userData_);
    callback_ = nullptr;
    userData_ = nullptr;
}

void CVlcPlayer::OpenMedia(const QByteArray& utf8Path, int noAudio) {
    if (!m_bAvailable)
        return;
    api_->libvlc_audio_set_volume(player_, m_nVolume);
    mediaPath_ = utf8Path;
    libvlc_media_t* media = api_->libvlc_media_new_path(instance_, utf8Path.constData());
    if (!media)
        return;
    api_->libvlc_media_add_option(media, ":avcodec-hw=any");
    if (noAudio == 1)
        api_->libvlc_media_add_option(media, ":no-audio");
    api_->libvlc_media_player_set_media(player_, media);
    // The player holds its own reference; ours to the previous media would
    // otherwise leak with every file played.
    if (media_)
        api_->libvlc_media_release(media_);
    media_ = media;
    api_->libvlc_video_set_key_input(player_, 0);
    api_->libvlc_video_set_mouse_input(player_, 0);
}

void CVlcPlayer::SetWindow(uint32_t xwindow) {
    if (!m_bAvailable)
        return;
    xwindow_ = xwindow;
    api_->libvlc_media_player_set_xwindow(player_, xwindow);
}

void CVlcPlayer::Play() {
    if (m_bAvailable)
        api_->libvlc_media_player_play(player_);
}

void CVlcPlayer::Pause() {
    if (m_bAvailable)
        api_->libvlc_media_player_pause(player_);
}

void CVlcPlayer::Stop() {
    if (m_bAvailable)
        api_->libvlc_media_player_stop(player_);
}

void CVlcPlayer::SetRate(float rate) {
    if (!m_bAvailable)
        return;
    m_fRate = rate;
    api_->libvlc_media_player_set_rate(player_, rate);
}

int64_t CVlcPlayer::GetLength() const {
    return m_bAvailable ? api_->libvlc_media_player_get_length(player_) : 0;
}

int64_t CVlcPlayer::GetTime() const {
    return m_bAvailable ? api_->libvlc_media_player_get_time(player_) : 0;
}

void CVlcPlayer::SetTime(int64_t ms) {
    if (m_bAvailable)
        api_->libvlc_media_player_set_time(player_, ms);
}

void CVlcPlayer::SetVolume(int volume) {
    if (!m_bAvailable)
        return;
    m_nVolume = volume;
    api_->libvlc_audio_set_volume(player_, volume);
}

void CVlcPlayer::SetMute(int mute) {
    if (m_bAvailable)
        api_->libvlc_audio_set_mute(player_, mute);
}

int CVlcPlayer::TakeSnapshot(const QString& path, unsigned width, unsigned height) {
    if (!m_bAvailable)
        return -1;
    return api_->libvlc_video_take_snapshot(player_, 0, QFile::encodeName(path).constData(), width,
                                            height);
}

void CVlcPlayer::SetMarquee(const QString& text) {
    if (!m_bAvailable)
        return;
    // Set again on every call: a new file brings a new video output, which
    // starts without the marquee.
    marquee_ = text;
    if (text.isEmpty()) {
        api_->libvlc_video_set_marquee_int(player_, libvlc_marquee_Enable, 0);
        return;
    }
    api_->libvlc_video_set_marquee_string(player_, libvlc_marquee_Text, text.toUtf8().constData());
    // Top right: most cameras burn their own time stamp into the top left.
    api_->libvlc_video_set_marquee_int(player_, libvlc_marquee_Position, 4 | 2);
    api_->libvlc_video_set_marquee_int(player_, libvlc_marquee_X, 12);
    api_->libvlc_video_set_marquee_int(player_, libvlc_marquee_Y, 12);
    // Drawn in the picture's own pixels: a size that suits its height.
    unsigned width = 0, height = 0;
    const int size = VideoSize(&width, &height) ? std::max(12, int(height) / 28) : 18;
    api_->libvlc_video_set_marquee_int(player_, libvlc_marquee_Size, size);
    api_->libvlc_video_set_marquee_int(player_, libvlc_marquee_Color, 0xFFFFFF);
    api_->libvlc_video_set_marquee_int(player_, libvlc_marquee_Opacity, 230);
    api_->libvlc_video_set_marquee_int(player_, libvlc_marquee_Timeout, 0);
    api_->libvlc_video_set_marquee_int(player_, libvlc_marquee_Enable, 1);
}

libvlc_state_t CVlcPlayer::State() const {
    return m_bAvailable ? api_->libvlc_media_player_get_state(player_) : libvlc_NothingSpecial;
}

float CVlcPlayer::Rate() const {
    return m_bAvailable ? api_->libvlc_media_player_get_rate(player_) : 0.0f;
}

int CVlcPlayer::Volume() const {
    return m_bAvailable ? api_->libvlc_audio_get_volume(player_) : -1;
}

int CVlcPlayer::Muted() const {
    return m_bAvailable ? api_->libvlc_audio_get_mute(player_) : -1;
}

int CVlcPlayer::AudioTrack() const {
    return m_bAvailable ? api_->libvlc_audio_get_track(player_) : -1;
}

bool CVlcPlayer::VideoSize(unsigned* width, unsigned* height) const {
    return m_bAvailable && api_->libvlc_video_get_size(player_, 0, width, height) == 0;
}
