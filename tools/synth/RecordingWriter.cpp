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

unsigned AttributesFor(const RecordingRecipe& recipe) {
    if (recipe.attributes)
        return *recipe.attributes;
    if (recipe.lock != Lock::None)
        return FileAttributes::ReadOnly | FileAttributes::Archive;
    return FileAttributes::Archive;
}

bool WriteRecording(const RecordingRecipe& recipe, const QString& path, QString* error) {
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (recipe.durationMs <= 0 || recipe.frameSize.isEmpty() || recipe.frameRate <= 0)
        return fail("duration, frame size and frame rate must be positive");
    if (!recipe.start.isValid())
        return fail("no start time");

    BaseVideoKey key;
    key.durationMs = recipe.durationMs;
    key.frameSize = recipe.frameSize;
    key.frameRate = recipe.frameRate;
    key.audio = recipe.audio;
    key.pattern = recipe.pattern;
    key.avi = recipe.container == Container::Avi;
    const auto basePath = BaseVideo(key, error);
    if (!basePath)
        return false;
    QFile baseFile(*basePath);
    if (!baseFile.open(QIODevice::ReadOnly))
        return fail("cannot read " + *basePath);
    const QByteArray base = baseFile.readAll();

    std::optional<QByteArray> out;
    switch (recipe.container) {
    case Container::Avi:
        out = BuildAvi(base, recipe, error);
        break;
    case Container::MovBoxes:
        out = BuildMovWithBoxes(base, recipe, error);
        break;
    case Container::MovTrack:
        out = BuildMovWithTrack(base, recipe, error);
        break;
    }
    if (!out)
        return false;
    if (recipe.faults.truncateTo >= 0)
        out->truncate(qsizetype(std::min<int64_t>(recipe.faults.truncateTo, out->size())));

    QDir().mkpath(QFileInfo(path).absolutePath());
    if (QFileInfo::exists(path) && !QFile::remove(path))
        return fail("cannot replace " + path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(*out) != out->size() || !file.commit())
        return fail("cannot write " + path + ": " + file.errorString());
    if (!FileAttributes::Set(path, AttributesFor(recipe)))
        return fail("cannot set the attributes of " + path);
    return true;
}

bool WriteRecordingPair(const RecordingRecipe& front, const RecordingRecipe& rear,
                        const CameraPair& names, const QString& root, QString* error,
                        const std::function<void(const QString&)>& progress) {
    const std::pair<const RecordingRecipe*, QString> files[] = {{&front, names.front},
                                                                {&rear, names.rear}};
    for (const auto& [camera, name] : files) {
        const QString path = QDir(root).filePath(name);
        if (!WriteRecording(*camera, path, error))
            return false;
        if (progress)
            progress(path);
    }
    return true;
}

} // namespace synth
