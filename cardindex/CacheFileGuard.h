#pragma once
// The card index's database is opened only when it is a plain file of its
// own: a FIFO would stop the index forever, a device would be read without
// end, and a symbolic or hard link may lead into another program's file.
#include <QString>
#include <sys/types.h>

class CacheFileGuard {
  public:
    // Looks at the database path and its journal's paths before SQLite opens
    // them. "" when the database may be opened (a missing file is created),
    // else what is wrong, to follow the path in a sentence ("is a FIFO").
    QString Before(const QString& databasePath);

    // After the open: the file is still a plain file with one name, and the
    // one looked at before when there was one.
    QString After(const QString& databasePath) const;

  private:
    bool existed_ = false;
    dev_t device_ = 0;
    ino_t inode_ = 0;
};
