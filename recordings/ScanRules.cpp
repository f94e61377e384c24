#include "recordings/ScanRules.h"

#include "platform/FileAttributes.h"
#include "recordings/RecordingInfo.h"

namespace {

bool IsAsciiDigit(QChar c) {
    return c >= '0' && c <= '9';
}

bool IsPrefixChar(QChar c) {
    return IsAsciiDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           c == '-';
}

} // namespace

namespace ScanRules {

bool IsCandidateName(const QString& name) {
    if (name.size() < 8)
        return false;
    for (int i = 0; i < 4; ++i)
        if (!IsPrefixChar(name[i]))
            return false;
    for (int i = 4; i < 8; ++i)
        if (!IsAsciiDigit(name[i]))
            return false;
    return name.size() == 12 || name.endsWith(QLatin1String(".MOV"));
}

uint8_t ChunkFlags(unsigned attributes, const QString& name) {
    if (!(attributes & FileAttributes::ReadOnly))
        return 0;
    if (!(attributes & FileAttributes::Archive))
        return RecordingFile::kEventLocked | RecordingFile::kHandLocked;
    return name.startsWith(QLatin1String("EVGS")) ? RecordingFile::kEventLocked
                                                  : RecordingFile::kHandLocked;
}

uint8_t MetadataTrackFlags(unsigned attributes, const QString& name) {
    if (name.startsWith(QLatin1String("EVGS")))
        return RecordingFile::kEventLocked;
    if (name.startsWith(QLatin1String("EVSW")))
        return RecordingFile::kHandLocked;
    return attributes & FileAttributes::ReadOnly ? RecordingFile::kHandLocked : 0;
}

} // namespace ScanRules
