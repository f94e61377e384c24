#pragma once
// Whether two names lead to one file. Device and inode tell on most file
// systems; FAT ignores case, and its FUSE driver gives one file a new inode
// number for each spelling of its path, so there the names the folders
// really hold are compared too.
#include <QHash>
#include <QString>
#include <QStringList>

class FileIdentity {
  public:
    // Both exist and are one file.
    bool Same(const QString& a, const QString& b);
    // The existing path as its folders spell it: symbolic links resolved, and
    // each part a folder does not hold as written (a file system that
    // ignores case found it) replaced by the one entry it stands for. Empty
    // when the path does not exist.
    QString RealSpelling(const QString& path);

  private:
    const QStringList& Entries(const QString& folder);

    QHash<QString, QStringList> entries_; // each folder's names, read once
};
