#include "clipui/ClipDefaults.h"

#include "recordings/LocalTimeText.h"
#include "settings/AppSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString DefaultClipFolder() {
    // Qt reads the same user-dirs.dirs that xdg-user-dir does and falls back
    // to ~/Videos.
    QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (videos.isEmpty())
        videos = QDir::home().filePath(QStringLiteral("Videos"));
    return QDir(videos).filePath(QStringLiteral("Halvex"));
}

QString ClipFolder() {
    const QString last = AppSettings::Instance().Read(SettingKeys::kClipFolder);
    return last.isEmpty() ? DefaultClipFolder() : last;
}

QString DefaultClipName(const std::vector<ClipSource>& sources, int64_t fromMs) {
    QString base;
    for (const ClipSource& s : sources) {
        if (s.startMs + s.durationMs > fromMs) {
            base = QFileInfo(s.front.isEmpty() ? s.rear : s.front).completeBaseName();
            break;
        }
    }
    if (base.isEmpty())
        base = QStringLiteral("clip");
    return base + "_CLIP" + FormatLocalTime(fromMs / 1000, "_%Y_%m_%d_%H-%M-%S") + ".mp4";
}
