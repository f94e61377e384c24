#include "TestVideos.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

bool MakeTestVideo(const QString& path, const TestVideoRecipe& recipe, QString* error) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString size = QString("%1x%2").arg(recipe.width).arg(recipe.height);
    const QString seconds = QString::number(recipe.seconds);
    QStringList args{"-y",
                     "-loglevel",
                     "error",
                     "-f",
                     "lavfi",
                     "-i",
                     QString("testsrc2=size=%1:rate=25").arg(size)};
    if (recipe.audio)
        args << "-f"
             << "lavfi"
             << "-i"
             << "sine=frequency=440:sample_rate=22050";
    args << "-t" << seconds << "-c:v"
         << "libx264"
         << "-preset"
         << "ultrafast"
         << "-g"
         << "5"
         << "-pix_fmt"
         << "yuv420p";
    if (recipe.audio)
        args << "-c:a"
             << "aac"
             << "-b:a"
             << "32k";
    args << path;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", args);
    const bool ok = ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit &&
                    ffmpeg.exitCode() == 0 && QFileInfo(path).size() > 0;
    if (!ok && error)
        *error = QString::fromLocal8Bit(ffmpeg.readAllStandardError()) + ffmpeg.errorString();
    return ok;
}
