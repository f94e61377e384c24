#pragma once
#include <QString>

// Copies a file over a destination that may exist. The bytes go to a
// temporary file beside the destination, which replaces it only when the
// whole copy succeeded; a failed copy leaves the destination as it was.
// Permissions and modification time follow the source.
bool CopyFileReplacing(const QString& source, const QString& destination);
