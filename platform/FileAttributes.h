#pragma once
#include <QString>
#include <optional>
#include <sys/stat.h>
#include <sys/types.h>
#include <vector>

// DOS-style file attributes on Linux. Read-only is "no write permission bit";
// on a vfat volume archive, hidden and system are the volume's own attributes,
// elsewhere archive and system live in the user.DOSATTRIB extended attribute
// (archive counts as set when none is stored) and hidden is a leading dot.
namespace FileAttributes {

enum : unsigned {
    ReadOnly = 0x01,
    Hidden = 0x02,
    System = 0x04,
    Archive = 0x20,
};

// The attribute bits, or nothing when the file does not exist.
std::optional<unsigned> Get(const QString& path);

// Get for the many files of one folder scan: once a file system has
// answered that it keeps no vfat attributes, its other files are not opened
// to ask again (on a warm card the opens were most of the scan's cost).
class Reader {
  public:
    std::optional<unsigned> Get(const QString& path);
    // The bits of a file or folder its caller opened (st is its fstat),
    // named `name` in its folder: no path is looked up again.
    unsigned OfOpen(int fd, const struct stat& st, const QByteArray& name);

  private:
    std::vector<dev_t> withoutVfat_; // devices whose files refused the vfat query
};

// Sets read-only, archive and system as given (hidden cannot be set outside
// vfat and is left alone there). Returns false when the file's state could not
// be changed.
bool Set(const QString& path, unsigned attributes);

} // namespace FileAttributes
