#pragma once
#include <QString>
#include <vector>

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

// One line of a section as ReadSection gives it: key and value as ReadString
// would read them; a line without "=" comes with the whole line as key and
// hasValue false. line counts from 1.
struct Entry {
    int line = 0;
    QString text; // the line as it stands
    QString key;
    QString value;
    bool hasValue = true;
};

// Every line of every section of that name, in file order, duplicates
// included, empty lines and ";" or "#" comments left out. A missing file has
// none; false when the file is there but cannot be read.
bool ReadSection(const QString& path, const QString& section, std::vector<Entry>* entries);

// Removes every line of the key from the section; true when nothing is left
// to remove, false when the file cannot be written.
bool DeleteKey(const QString& path, const QString& section, const QString& key);

} // namespace IniFile
