#pragma once
// Where a library lives and where each kept recording goes in it.
#include <QString>
#include <cstdint>

namespace LibraryLayout {

// The user's videos folder (XDG_VIDEOS_DIR, else ~/Videos) + "Halvex/Library".
QString DefaultFolder();

// "YYYY/YYYY-MM-DD" of the local day the recording started; a recording of
// unknown start goes by its modification time (seconds since 1970 UTC).
QString DayFolder(int64_t startUtcMs, int64_t modifiedSeconds);

// A name a card may hand over that is safe as one entry of a folder: no
// separator, no "." or "..", not hidden, no control characters.
bool IsSafeName(const QString& name);

// The library's own files; hidden, so a scan of the library passes them by.
QString IndexPath(const QString& library);
QString LockPath(const QString& library);
// The card index's cache of the library's recordings.
QString CardIndexFolder(const QString& library);

// A folder an import has made a library.
bool IsLibrary(const QString& folder);

} // namespace LibraryLayout
