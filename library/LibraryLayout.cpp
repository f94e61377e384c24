#include "library/LibraryLayout.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace LibraryLayout {

QString DefaultFolder() {
    QString videos = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (videos.isEmpty())
        videos = QDir::homePath() + "/Videos";
    return videos + "/Halvex/Library";
}

QString DayFolder(int64_t startUtcMs, int64_t modifiedSeconds) {
    const QDateTime when = startUtcMs > 0
                               ? QDateTime::fromMSecsSinceEpoch(startUtcMs, Qt::LocalTime)
                               : QDateTime::fromSecsSinceEpoch(modifiedSeconds, Qt::LocalTime);
    const QDate day = when.date();
    return QStringLiteral("%1/%2")
        .arg(day.year(), 4, 10, QChar('0'))
        .arg(day.toString(Qt::ISODate));
}

bool IsSafeName(const QString& name) {
    if (name.isEmpty() || name.startsWith('.') || name.size() > 255)
        return false;
    for (const QChar c : name)
        if (c == '/' || c == '\\' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    return true;
}

QString IndexPath(const QString& library) {
    return library + "/.halvex-library.sqlite";
}

QString LockPath(const QString& library) {
    return library + "/.halvex-library.lock";
}

QString CardIndexFolder(const QString& library) {
    return library + "/.halvex-index";
}

bool IsLibrary(const QString& folder) {
    return QFileInfo(IndexPath(folder)).isFile();
}

} // namespace LibraryLayout
