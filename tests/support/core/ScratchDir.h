#pragma once
// A temporary folder whose path holds no upper-case letters, so the pairing
// rules, which exchange the last "F" or "R" of a path, only see the markers a
// test puts there.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

class ScratchDir {
  public:
    ScratchDir() {
        static int serial = 0;
        path_ = QStringLiteral("/tmp/halvex-test-%1-%2")
                    .arg(QCoreApplication::applicationPid())
                    .arg(serial++);
        QDir(path_).removeRecursively();
        QDir().mkpath(path_);
    }
    ~ScratchDir() { QDir(path_).removeRecursively(); }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const QString& path() const { return path_; }
    QString Root() const { return path_ + "/"; }

    // Writes a file (and its folders) below the scratch folder; returns its path.
    QString Write(const QString& relative, const QByteArray& content = "x") const {
        const QString full = path_ + "/" + relative;
        QDir().mkpath(QFileInfo(full).path());
        QFile f(full);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
        return full;
    }

  private:
    QString path_;
};
