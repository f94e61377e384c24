#include "clip/ClipBundleFiles.h"

#include "platform/FileIdentity.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const kSuffixes[] = {".mp4", ".gpx", ".csv", ".json", ".sha256"};

QStringList FinalNames(const QString& clipPath, QString* folder, QString* base) {
    const QFileInfo clip(clipPath);
    *folder = clip.absolutePath();
    *base = clip.completeBaseName();
    QStringList finals;
    for (const char* suffix : kSuffixes)
        finals << *folder + "/" + *base + suffix;
    return finals;
}

// lstat: a dangling symbolic link holds the name too.
bool Taken(const QString& path, struct stat* st) {
    return ::lstat(QFile::encodeName(path).constData(), st) == 0;
}

} // namespace

QStringList ExistingBundleFiles(const QString& clipPath) {
    QString folder, base;
    QStringList existing;
    struct stat st {};
    for (const QString& path : FinalNames(clipPath, &folder, &base)) {
        if (Taken(path, &st))
            existing << path;
    }
    return existing;
}

bool CheckClipOutputName(const QString& name, QString* error) {
    if (name.trimmed().isEmpty()) {
        *error = QStringLiteral("no name for the clip");
        return false;
    }
    for (const QChar c : name) {
        // A newline would break the .sha256 lines; the others, a terminal.
        if (c.category() == QChar::Other_Control) {
            *error =
                QStringLiteral("%1: a control character (U+%2) in the name")
                    .arg(name,
                         QString::number(c.unicode(), 16).toUpper().rightJustified(4, QChar('0')));
            return false;
        }
    }
    if (name.endsWith('/') || QFileInfo(name).isDir()) {
        *error = name + ": names a folder only; give the clip a file name";
        return false;
    }
    QString base = QFileInfo(name).fileName();
    if (base.endsWith(".mp4", Qt::CaseInsensitive))
        base.chop(4);
    if (base.isEmpty() || base == "." || base == "..") {
        *error = name + ": names a suffix only; give the clip a file name";
        return false;
    }
    return true;
}

QString ClipBundleFiles::Name(File file) const {
    return base_ + kSuffixes[file];
}

bool ClipBundleFiles::Prepare(const QString& clipPath, const QStringList& sources, bool replace,
                              QStringList* existing, QString* error) {
    replace_ = replace;
    finals_ = FinalNames(clipPath, &folder_, &base_);
    if (!QFileInfo(folder_).isDir()) {
        *error = folder_ + ": no such folder";
        return false;
    }
    RemoveStaleTemporaries(folder_);
    FileIdentity identity;
    existing->clear();
    for (const QString& path : finals_) {
        struct stat st {};
        if (!Taken(path, &st))
            continue;
        for (const QString& source : sources) {
            if (identity.Same(path, source)) {
                *error = path + ": is a source recording and is never overwritten";
                return false;
            }
        }
        if (S_ISDIR(st.st_mode)) {
            *error = path + ": a folder of that name is in the way";
            return false;
        }
        if (!replace)
            *existing << path;
    }
    if (!existing->isEmpty()) {
        *error = existing->join(", ") + ": there already; not replaced";
        return false;
    }
    return true;
}

bool ClipBundleFiles::Create(QString* error) {
    for (PendingFile& file : files_) {
        if (!file.Create(folder_, error))
            return false;
    }
    return true;
}

bool ClipBundleFiles::Place(QStringList* existing, QString* error) {
    QStringList placed;
    QList<QPair<QString, QString>> kept; // aside, final
    const auto undo = [&] {
        for (const QString& path : placed)
            ::unlink(QFile::encodeName(path).constData());
        for (auto it = kept.crbegin(); it != kept.crend(); ++it) {
            QString why;
            MoveWithoutReplacing(it->first, it->second, &why);
        }
        return false;
    };
    // The clip last: its name appears only when the whole bundle is there.
    for (int i = kFileCount - 1; i >= 0; --i) {
        const QString& target = finals_[i];
        struct stat st {};
        if (replace_ && Taken(target, &st)) {
            if (S_ISDIR(st.st_mode)) {
                *error = target + ": a folder of that name is in the way";
                return undo();
            }
            const QString aside = HiddenTemporaryName(folder_, QStringLiteral(".kept"));
            if (MoveWithoutReplacing(target, aside, error) != PendingFile::Placed::Done) {
                *error = target + ": cannot be replaced" +
                         (error->isEmpty() ? QString() : " (" + *error + ")");
                return undo();
            }
            kept.append({aside, target});
        }
        switch (files_[i].Place(target, error)) {
        case PendingFile::Placed::Done:
            placed << target;
            break;
        case PendingFile::Placed::Exists:
            *existing << target;
            *error = target + ": there already; not replaced";
            return undo();
        case PendingFile::Placed::Failed:
            return undo();
        }
    }
    for (const auto& [aside, target] : kept)
        ::unlink(QFile::encodeName(aside).constData());
    return true;
}
