#include "platform/IniFile.h"

#include "platform/CheckedFileWriter.h"
#include "platform/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <climits>

namespace {

// The file as it stands: lines split at "\n" with every other byte kept
// (a "\r" before the "\n", text that is not UTF-8), so that a write changes
// only the line it writes.
struct RawLines {
    QList<QByteArray> lines;
    bool exists = false;
    bool endsWithNewline = true;
    bool crlf = false;
};

// A FIFO or device under the name would block the start or never end: only
// a regular file is read.
RawLines ReadRaw(const QString& path) {
    RawLines raw;
    QFile file(path);
    raw.exists = RegularFile::Open(file);
    if (!raw.exists)
        return raw;
    const QByteArray data = file.readAll();
    if (data.isEmpty())
        return raw;
    raw.lines = data.split('\n');
    raw.endsWithNewline = data.endsWith('\n');
    if (raw.endsWithNewline)
        raw.lines.removeLast();
    raw.crlf = !raw.lines.isEmpty() && raw.lines.first().endsWith('\r');
    return raw;
}

QString LineText(const QByteArray& line, bool first) {
    QByteArray bytes = line.endsWith('\r') ? line.left(line.size() - 1) : line;
    if (first && bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    return QString::fromUtf8(bytes);
}

QStringList ReadLines(const QString& path, bool* exists) {
    const RawLines raw = ReadRaw(path);
    *exists = raw.exists;
    QStringList lines;
    for (int i = 0; i < raw.lines.size(); ++i)
        lines << LineText(raw.lines[i], i == 0);
    return lines;
}

bool IsSectionHeader(const QString& line, QString* name) {
    const QString t = line.trimmed();
    if (!t.startsWith('[') || !t.contains(']'))
        return false;
    *name = t.mid(1, t.indexOf(']') - 1).trimmed();
    return true;
}

bool SplitKey(const QString& line, QString* key, QString* value) {
    const int eq = line.indexOf('=');
    if (eq < 0)
        return false;
    *key = line.left(eq).trimmed();
    *value = line.mid(eq + 1).trimmed();
    return true;
}

// Section and key names compare without regard to case, as on Windows.
bool Same(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool Find(const QStringList& lines, const QString& section, const QString& key, QString* value) {
    bool inSection = false;
    for (const QString& line : lines) {
        QString name;
        if (IsSectionHeader(line, &name)) {
            inSection = Same(name, section);
            continue;
        }
        QString k;
        if (inSection && SplitKey(line, &k, value) && Same(k, key))
            return true;
    }
    return false;
}

QString Unquoted(const QString& value) {
    if (value.size() > 1 && ((value.startsWith('"') && value.endsWith('"')) ||
                             (value.startsWith('\'') && value.endsWith('\''))))
        return value.mid(1, value.size() - 2);
    return value;
}

bool HasLineBreak(const QString& text) {
    return text.contains('\n') || text.contains('\r');
}

// Names and values that would not read back as written (a line break starts a
// new line, so a folder name could plant keys or sections) are refused.
bool Writable(const QString& section, const QString& key, const QString& value) {
    if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        return false;
    if (section.trimmed().isEmpty() || section.contains(']'))
        return false;
    const QString k = key.trimmed();
    return !k.isEmpty() && !k.startsWith('[') && !k.contains('=');
}

} // namespace

namespace IniFile {

int ReadInt(const QString& path, const QString& section, const QString& key, int defaultValue) {
    bool exists = false;
    const QStringList lines = ReadLines(path, &exists);
    QString value;
    if (!exists || !Find(lines, section, key, &value))
        return defaultValue;
    // Leading sign and digits only; "12abc" reads 12, "abc" reads 0.
    int i = 0;
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+'))
        negative = value[i++] == '-';
    qint64 n = 0;
    for (; i < value.size() && value[i].isDigit() && value[i].unicode() < 128; ++i) {
        n = n * 10 + (value[i].unicode() - '0');
        if (n > 0x80000000LL)
            n = 0x80000000LL;
    }
    if (negative)
        n = -n;
    return int(qBound(qint64(INT_MIN), n, qint64(INT_MAX)));
}

QString ReadString(const QString& path, const QString& section, const QString& key,
                   const QString& defaultValue, int bufferChars) {
    bool exists = false;
    const QStringList lines = ReadLines(path, &exists);
    QString value;
    if (!exists || !Find(lines, section, key, &value))
        value = defaultValue;
    value = Unquoted(value);
    // The buffer holds bufferChars - 1 characters and the terminator.
    return value.left(qMax(0, bufferChars - 1));
}

bool WriteString(const QString& path, const QString& section, const QString& key,
                 const QString& value) {
    if (!Writable(section, key, value))
        return false;
    // Something else than a regular file under the name stays as it is.
    const QFileInfo where(path);
    if (where.exists() && !where.isFile())
        return false;
    RawLines raw = ReadRaw(path);
    if (where.exists() && !raw.exists)
        return false;
    QStringList lines;
    for (int i = 0; i < raw.lines.size(); ++i)
        lines << LineText(raw.lines[i], i == 0);

    int sectionLine = -1;
    int lastLineOfSection = -1;
    int keyLine = -1;
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (IsSectionHeader(lines[i], &name)) {
            inSection = Same(name, section);
            if (inSection && sectionLine < 0) {
                sectionLine = i;
                lastLineOfSection = i;
            }
            continue;
        }
        if (!inSection)
            continue;
        QString k, v;
        if (SplitKey(lines[i], &k, &v) && Same(k, key) && keyLine < 0)
            keyLine = i;
        if (!lines[i].trimmed().isEmpty())
            lastLineOfSection = i;
    }

    const QByteArray end = raw.crlf ? "\r" : "";
    const QByteArray entry = (key + "=" + value).toUtf8() + end;
    bool newlineAtEnd = raw.endsWithNewline;
    if (keyLine >= 0) {
        raw.lines[keyLine] = entry;
    } else if (sectionLine >= 0) {
        raw.lines.insert(lastLineOfSection + 1, entry);
        newlineAtEnd = newlineAtEnd || lastLineOfSection + 1 == raw.lines.size() - 1;
    } else {
        raw.lines << ("[" + section + "]").toUtf8() + end << entry;
        newlineAtEnd = true;
    }

    // A write that fails (a full disk) leaves the old file as it was.
    return CheckedFileWriter::WriteFile(path, raw.lines.join('\n') + (newlineAtEnd ? "\n" : ""));
}

bool ReadSection(const QString& path, const QString& section, std::vector<Entry>* entries) {
    entries->clear();
    bool exists = false;
    const QStringList lines = ReadLines(path, &exists);
    if (!exists)
        return !QFileInfo::exists(path);
    bool inSection = false;
    for (int i = 0; i < lines.size(); ++i) {
        QString name;
        if (IsSectionHeader(lines[i], &name)) {
            inSection = Same(name, section);
            continue;
        }
        const QString t = lines[i].trimmed();
        if (!inSection || t.isEmpty() || t.startsWith(';') || t.startsWith('#'))
            continue;
        Entry e;
        e.line = i + 1;
        e.text = lines[i];
        if (SplitKey(lines[i], &e.key, &e.value)) {
            e.value = Unquoted(e.value);
        } else {
            e.key = t;
            e.hasValue = false;
        }
        entries->push_back(e);
    }
    return true;
}

bool DeleteKey(const QString& path, const QString& section, const QString& key) {
    const QFileInfo where(path);
    if (!where.exists())
        return true;
    if (!where.isFile())
        return false;
    RawLines raw = ReadRaw(path);
    if (!raw.exists)
        return false;
    bool inSection = false;
    bool removed = false;
    for (int i = 0; i < raw.lines.size();) {
        const QString text = LineText(raw.lines[i], i == 0);
        QString name, k, v;
        if (IsSectionHeader(text, &name)) {
            inSection = Same(name, section);
        } else if (inSection && SplitKey(text, &k, &v) && Same(k, key)) {
            raw.lines.removeAt(i);
            removed = true;
            continue;
        }
        ++i;
    }
    if (!removed)
        return true;
    return CheckedFileWriter::WriteFile(path,
                                        raw.lines.join('\n') + (raw.endsWithNewline ? "\n" : ""));
}

} // namespace IniFile
