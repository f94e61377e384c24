#include "platform/IniFile.h"

#include "platform/CheckedFileWriter.h"

#include <QFile>
#include <QStringList>
#include <climits>

namespace {

QStringList ReadLines(const QString& path, bool* exists) {
    QFile file(path);
    *exists = file.open(QIODevice::ReadOnly);
    if (!*exists)
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace("\r\n", "\n");
    QStringList lines = text.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
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
    if (value.size() > 1 && ((value.startsWith('"') && value.endsWith('"')) ||
                             (value.startsWith('\'') && value.endsWith('\''))))
        value = value.mid(1, value.size() - 2);
    // The buffer holds bufferChars - 1 characters and the terminator.
    return value.left(qMax(0, bufferChars - 1));
}

bool WriteString(const QString& path, const QString& section, const QString& key,
                 const QString& value) {
    if (!Writable(section, key, value))
        return false;
    bool exists = false;
    QStringList lines = ReadLines(path, &exists);

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

    const QString entry = key + "=" + value;
    if (keyLine >= 0) {
        lines[keyLine] = entry;
    } else if (sectionLine >= 0) {
        lines.insert(lastLineOfSection + 1, entry);
    } else {
        lines << "[" + section + "]" << entry;
    }

    // A write that fails (a full disk) leaves the old file as it was.
    return CheckedFileWriter::WriteFile(path, (lines.join('\n') + '\n').toUtf8());
}

} // namespace IniFile
