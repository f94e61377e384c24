#include "platform/FileIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

const QStringList& FileIdentity::Entries(const QString& folder) {
    auto it = entries_.find(folder);
    if (it == entries_.end())
        it = entries_.insert(folder, QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                            QDir::System | QDir::NoDotAndDotDot));
    return *it;
}

QString FileIdentity::RealSpelling(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return {};
    QString real;
    for (const QString& part : canonical.split('/', Qt::SkipEmptyParts)) {
        const QString folder = real.isEmpty() ? QStringLiteral("/") : real;
        const QStringList& names = Entries(folder);
        QString spelled = part;
        if (!names.contains(part)) {
            QStringList alike;
            for (const QString& name : names) {
                if (name.compare(part, Qt::CaseInsensitive) == 0)
                    alike << name;
            }
            if (alike.size() == 1)
                spelled = alike.front();
        }
        real += '/' + spelled;
    }
    return real.isEmpty() ? QStringLiteral("/") : real;
}

bool FileIdentity::Same(const QString& a, const QString& b) {
    struct stat x {
    }, y{};
    if (::stat(QFile::encodeName(a).constData(), &x) != 0 ||
        ::stat(QFile::encodeName(b).constData(), &y) != 0 || x.st_dev != y.st_dev)
        return false;
    return x.st_ino == y.st_ino || RealSpelling(a) == RealSpelling(b);
}
