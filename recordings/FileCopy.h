#pragma once
#include <QString>
#include <functional>

// Copies a file over a destination that may exist. The bytes go to a
// temporary file beside the destination, which replaces it only when the
// whole copy succeeded; a failed copy leaves the destination as it was.
// Permissions and modification time follow the source. After each piece
// copied, `copied` hears how many bytes are done; when it answers false the
// copy is abandoned like a failed one.
bool CopyFileReplacing(const QString& source, const QString& destination,
                       const std::function<bool(qint64 copied)>& copied = {});
