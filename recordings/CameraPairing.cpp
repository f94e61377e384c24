#include "recordings/CameraPairing.h"

#include <QFileInfo>
#include <utility>

namespace {

bool Exists(const QString& path) {
    return QFileInfo::exists(path);
}

// Exchanges the last two occurrences of one marker character; a marker that
// is the path's first character stays as it is.
QString SwapLastTwo(QString path, QChar from, QChar to) {
    for (int round = 0; round < 2; ++round) {
        const int at = path.lastIndexOf(from);
        if (at > 0)
            path[at] = to;
    }
    return path;
}

} // namespace

bool IsFrontCameraName(const QString& fileName) {
    return fileName.contains(QLatin1String("front")) || fileName.contains(QLatin1String("F.MOV"));
}

bool IsRearCameraPath(const QString& path) {
    const int dot = path.lastIndexOf('.');
    if (dot > 0 && path.mid(dot - 1).contains('b'))
        return true;
    return path.contains(QLatin1String("R.MOV"));
}

QString RearPathFor(const QString& frontPath) {
    QString chunk = frontPath;
    chunk.replace(QLatin1String("front"), QLatin1String("back"));
    const int dot = chunk.lastIndexOf('.');
    if (dot <= 0)
        return QString();
    chunk[dot - 1] = '1';
    chunk.insert(dot, QLatin1String("_b"));
    if (Exists(chunk))
        return chunk;

    const QString metadata = SwapLastTwo(frontPath, 'F', 'R');
    if (Exists(metadata))
        return metadata;
    return QString();
}

namespace {

// The names FrontPathFor tries, in its order: the chunk naming's partner
// ("" when the path has no room for it), then the metadata naming's.
std::pair<QString, QString> FrontCandidates(const QString& rearPath) {
    QString chunk = rearPath;
    chunk.replace(QLatin1String("back"), QLatin1String("front"));
    const int dot = chunk.lastIndexOf('.');
    if (dot < 3)
        return {};
    chunk[dot - 3] = '0';
    chunk.remove(dot - 2, 2);
    return {chunk, SwapLastTwo(rearPath, 'R', 'F')};
}

} // namespace

QString FrontPathFor(const QString& rearPath) {
    const auto [chunk, metadata] = FrontCandidates(rearPath);
    if (chunk.isEmpty())
        return QString();
    if (Exists(chunk))
        return chunk;
    if (Exists(metadata))
        return metadata;
    return QString();
}

bool IsFrontPathOf(const QString& rearPath, const QString& frontPath) {
    const auto [chunk, metadata] = FrontCandidates(rearPath);
    if (chunk.isEmpty())
        return false;
    if (chunk == frontPath)
        return true;
    return metadata == frontPath && !Exists(chunk);
}
