#pragma once
#include <QString>

// Private-profile style INI access: every read goes to the file, every write
// updates it at once and keeps all other lines as they were.
namespace IniFile {

// Default when the file or key is missing; otherwise the leading signed decimal
// number of the value (0 when it has none), as the Windows functions parse it.
int ReadInt(const QString& path, const QString& section, const QString& key, int defaultValue);
QString ReadString(const QString& path, const QString& section, const QString& key,
                   const QString& defaultValue, int bufferChars = 1024);
// Creates the file, the section or the key as needed. Returns false when the
// file cannot be written, and writes nothing for a line break in any argument,
// an empty or "]"-holding section, or an empty key, one holding "=" or
// starting with "[".
bool WriteString(const QString& path, const QString& section, const QString& key,
                 const QString& value);

} // namespace IniFile
