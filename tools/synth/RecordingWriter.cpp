#include "tools/synth/RecordingWriter.h"

#include "platform/FileAttributes.h"
#include "tools/synth/AviWriter.h"
#include "tools/synth/BaseVideo.h"
#include "tools/synth/MovWriters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace synth {

unsigned AttributesFor(const RecordingSpec& spec) {
    if (spec.attributes)
        return *spec.attributes;
    if (spec.lock != Lock::None)
        return FileAttributes::ReadOnly | FileAttributes::Archive;
    return FileAttributes::Archive;
}

bool WriteRecording(const RecordingSpec& spec, const QString& path, QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (spec.durationMs <= 0 || spec.frameSize.isEmpty() || spec.frameRate <= 0)
        return fail("duration, frame size and frame rate must be positive");
    if (!spec.start.isValid())
        return fail("no start time");

    BaseVideoKey key;
    key.durationMs = spec.durationMs;
    key.frameSize = spec.frameSize;
    key.frameRate = spec.frameRate;
    key.audio = spec.audio;
    key.pattern = spec.pattern;
    key.avi = spec.container == Container::Avi;
    const auto basePath = BaseVideo(key, error);
    if (!basePath)
        return false;
    QFile baseFile(*basePath);
    if (!baseFile.open(QIODevice::ReadOnly))
        return fail("cannot read " + *basePath);
    const QByteArray base = baseFile.readAll();

    std::optional<QByteArray> out;
    switch (spec.container) {
    case Container::Avi:
        out = BuildAvi(base, spec, error);
        break;
    case Container::MovBoxes:
        out = BuildMovWithBoxes(base, spec, error);
        break;
    case Container::MovTrack:
        out = BuildMovWithTrack(base, spec, error);
        break;
    }
    if (!out)
        return false;
    if (spec.faults.truncateTo >= 0)
        out->truncate(qsizetype(std::min<int64_t>(spec.faults.truncateTo, out->size())));

    QDir().mkpath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path) && !QFile::remove(path))
        return fail("cannot replace " + path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*out) != out->size() || !file.commit())
        return fail("cannot write " + path + ": " + file.errorString());
    if (!FileAttributes::Set(path, AttributesFor(spec)))
        return fail("cannot set the attributes of " + path);
    return true;
}

} // namespace synth
