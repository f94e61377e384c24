#include "tools/synth/BaseVideo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cstdio>

namespace synth {
namespace {

QString& CacheOverride() {
    static QString folder;
    return folder;
}

// Bumped whenever the encoding below changes, so stale files are not reused.
constexpr int kCacheVersion = 1;

QString FileNameFor(const BaseVideoKey& k) {
    return QString("v%1-%2-%3x%4-%5fps-%6ms-%7.%8")
        .arg(kCacheVersion)
        .arg(k.pattern)
        .arg(k.frameSize.width())
        .arg(k.frameSize.height())
        .arg(k.frameRate)
        .arg(k.durationMs)
        .arg(k.audio ? "a" : "n")
        .arg(k.avi ? "avi" : "mov");
}

QStringList FfmpegArguments(const BaseVideoKey& k, const QString& out) {
    const QString seconds = QString::number(k.durationMs / 1000.0, 'f', 3);
    QStringList args{"-nostdin",
                     "-y",
                     "-loglevel",
                     "error",
                     "-f",
                     "lavfi",
                     "-i",
                     QString("%1=size=%2x%3:rate=%4")
                         .arg(k.pattern)
                         .arg(k.frameSize.width())
                         .arg(k.frameSize.height())
                         .arg(k.frameRate)};
    if (k.audio)
        args << "-f"
             << "lavfi"
             << "-i"
             << "sine=frequency=440:sample_rate=16000";
    args << "-t" << seconds << "-map"
         << "0:v";
    if (k.audio)
        args << "-map"
             << "1:a";
    // A key frame every second so that seeking stays quick.
    args << "-c:v"
         << "libx264"
         << "-preset"
         << "ultrafast"
         << "-crf"
         << "30"
         << "-g" << QString::number(k.frameRate) << "-pix_fmt"
         << "yuv420p";
    if (k.audio) {
        if (k.avi)
            args << "-c:a"
                 << "pcm_s16le"
                 << "-ac"
                 << "1";
        else
            args << "-c:a"
                 << "aac"
                 << "-b:a"
                 << "32k"
                 << "-ac"
                 << "1";
    }
    if (!k.avi)
        args << "-metadata:s:v"
             << "handler_name=JTD_Video";
    args << "-f" << (k.avi ? "avi" : "mov") << out;
    return args;
}

} // namespace

QString CacheFolder() {
    if (!CacheOverride().isEmpty())
        return CacheOverride();
    const QString env = qEnvironmentVariable("HALVEX_SYNTH_CACHE");
    if (!env.isEmpty())
        return env;
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (base.isEmpty())
        base = QDir::tempPath();
    return base + "/halvex-synth";
}

void SetCacheFolder(const QString& folder) {
    CacheOverride() = folder;
}

std::optional<QString> BaseVideo(const BaseVideoKey& key, QString* error) {
    const QString folder = CacheFolder();
    const QString path = folder + "/" + FileNameFor(key);
    if (QFileInfo(path).size() > 0)
        return path;
    if (!QDir().mkpath(folder)) {
        if (error)
            *error = "cannot create the cache folder " + folder;
        return std::nullopt;
    }

    // Encode beside the final name and rename at the end: a reader sees either
    // nothing or a whole file, however many processes race here.
    QTemporaryFile temp(path + ".XXXXXX." + (key.avi ? "avi" : "mov"));
    if (!temp.open()) {
        if (error)
            *error = "cannot write in " + folder;
        return std::nullopt;
    }
    temp.close();
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", FfmpegArguments(key, temp.fileName()));
    const bool ran = ffmpeg.waitForFinished(300000);
    if (!ran || ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0 ||
        QFileInfo(temp.fileName()).size() == 0) {
        if (error)
            *error = "ffmpeg failed: " + ffmpeg.errorString() + " " +
                     QString::fromLocal8Bit(ffmpeg.readAllStandardError()).trimmed();
        return std::nullopt;
    }
    if (std::rename(QFile::encodeName(temp.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        if (error)
            *error = "cannot move the encoded file to " + path;
        return std::nullopt;
    }
    temp.setAutoRemove(false);
    return path;
}

} // namespace synth
