#pragma once
#include <QString>

// The camera marks the two files of one moment only by their names and
// folders. These rules recognise a front or a rear file and derive the
// partner's path; the derivations return a path only when that file exists.
// All comparisons are case-sensitive.

// True when the name contains "front" or "F.MOV".
bool IsFrontCameraName(const QString& fileName);

// True when the text from the character before the last "." on holds a
// lowercase "b", or when the path contains "R.MOV".
bool IsRearCameraPath(const QString& path);

// The rear partner of a front file, or "" when none exists.
QString RearPathFor(const QString& frontPath);

// The front partner of a rear file, or "" when none exists.
QString FrontPathFor(const QString& rearPath);

// FrontPathFor(rearPath) == frontPath for a frontPath known to exist (a file
// just scanned): asks the file system only when another name comes first.
bool IsFrontPathOf(const QString& rearPath, const QString& frontPath);
