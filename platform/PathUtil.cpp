#include "platform/PathUtil.h"

namespace PathUtil {

QString JoinRecordingPath(const QString& root, const QString& folder, const QString& name) {
    return root + "/" + folder + "/" + name;
}

QString WithTrailingSeparator(const QString& folder) {
    return folder.endsWith('/') ? folder : folder + "/";
}

} // namespace PathUtil
