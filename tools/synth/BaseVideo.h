#pragma once
#include <QSize>
#include <QString>
#include <optional>

// The plain audio/video file that a recording is built on, encoded by the
// ffmpeg command line (H.264, and AAC in MOV or PCM in AVI) and kept in a cache
// folder so that many recordings of one shape cost one encode.
namespace synth {

struct BaseVideoKey {
    int durationMs = 2000;
    QSize frameSize{160, 90};
    int frameRate = 25;
    bool audio = true;
    QString pattern = "testsrc2";
    bool avi = false;
};

// $HALVEX_SYNTH_CACHE, else the user's cache folder + "/halvex-synth".
QString CacheFolder();
void SetCacheFolder(const QString& folder);

// The cached file for `key`, encoded first when it is not there yet. Safe when
// several processes ask for the same key at once.
std::optional<QString> BaseVideo(const BaseVideoKey& key, QString* error);

} // namespace synth
