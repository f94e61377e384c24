#pragma once
#include <QString>

namespace PathUtil {

// root + "/" + folder + "/" + name; the doubled separators this makes are
// left in place (the file system accepts them).
QString JoinRecordingPath(const QString& root, const QString& folder, const QString& name);

// Adds a trailing "/" unless the text already ends with one.
QString WithTrailingSeparator(const QString& folder);

} // namespace PathUtil
