#include "tools/synth/CameraNaming.h"

namespace synth {

QString PrefixFor(Naming naming, Lock lock) {
    if (lock == Lock::Event)
        return "EVGS";
    if (naming == Naming::Metadata)
        return lock == Lock::Hand ? "EVSW" : "MOV_";
    return "FILE";
}

CameraPair CameraNames(Naming naming, const QString& folder, const QString& prefix, int sequence,
                       const QString& extension) {
    const QString base = folder.isEmpty() || folder.endsWith('/') ? folder : folder + "/";
    if (naming == Naming::Chunk) {
        const QString stem = prefix + QString("%1").arg(sequence % 1000, 3, 10, QChar('0'));
        return {base + "front/" + stem + "0." + extension,
                base + "back/" + stem + "1_b." + extension};
    }
    QString dir = base;
    if (dir.endsWith('/'))
        dir.chop(1);
    const QString stem = prefix + QString("%1").arg(sequence % 10000, 4, 10, QChar('0'));
    return {dir + "F/" + stem + "F." + extension, dir + "R/" + stem + "R." + extension};
}

} // namespace synth
