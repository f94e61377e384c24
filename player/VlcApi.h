#pragma once
#include <vlc/vlc.h>

#include <QString>
#include <memory>

// The libvlc functions the viewer uses, resolved by name from a library
// loaded at run time: the program has no link-time dependency on libvlc and
// runs without video when the library is missing.
struct VlcApi {
#define HALVEX_VLC_FUNCTIONS(X)                                                                    \
    X(libvlc_new)                                                                                  \
    X(libvlc_release)                                                                              \
    X(libvlc_log_set)                                                                              \
    X(libvlc_log_get_context)                                                                      \
    X(libvlc_log_get_object)                                                                       \
    X(libvlc_event_attach)                                                                         \
    X(libvlc_event_detach)                                                                         \
    X(libvlc_media_new_path)                                                                       \
    X(libvlc_media_add_option)                                                                     \
    X(libvlc_media_release)                                                                        \
    X(libvlc_media_player_new)                                                                     \
    X(libvlc_media_player_release)                                                                 \
    X(libvlc_media_player_event_manager)                                                           \
    X(libvlc_media_player_set_media)                                                               \
    X(libvlc_media_player_set_xwindow)                                                             \
    X(libvlc_media_player_play)                                                                    \
    X(libvlc_media_player_pause)                                                                   \
    X(libvlc_media_player_stop)                                                                    \
    X(libvlc_media_player_set_rate)                                                                \
    X(libvlc_media_player_get_rate)                                                                \
    X(libvlc_media_player_get_length)                                                              \
    X(libvlc_media_player_get_time)                                                                \
    X(libvlc_media_player_set_time)                                                                \
    X(libvlc_media_player_get_state)                                                               \
    X(libvlc_audio_set_volume)                                                                     \
    X(libvlc_audio_get_volume)                                                                     \
    X(libvlc_audio_set_mute)                                                                       \
    X(libvlc_audio_get_mute)                                                                       \
    X(libvlc_audio_get_track)                                                                      \
    X(libvlc_video_set_key_input)                                                                  \
    X(libvlc_video_set_mouse_input)                                                                \
    X(libvlc_video_get_size)                                                                       \
    X(libvlc_video_take_snapshot)                                                                  \
    X(libvlc_video_set_marquee_int)                                                                \
    X(libvlc_video_set_marquee_string)

#define HALVEX_VLC_POINTER(name) decltype(&::name) name = nullptr;
    HALVEX_VLC_FUNCTIONS(HALVEX_VLC_POINTER)
#undef HALVEX_VLC_POINTER

    VlcApi() = default;
    VlcApi(const VlcApi&) = delete;
    VlcApi& operator=(const VlcApi&) = delete;
    ~VlcApi(); // unloads the library

    // The library file: $HALVEX_LIBVLC when set, else "libvlc.so.5".
    static QString LibraryName();

    // Loads the library and resolves every function; null when the library
    // cannot be loaded or lacks one of them.
    static std::shared_ptr<VlcApi> Load(const QString& library = LibraryName());

  private:
    void* module_ = nullptr;
};
