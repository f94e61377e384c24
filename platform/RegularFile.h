#pragma once
#include <QFile>
#include <cstdint>

// Opening files that a card or a user may have replaced by something else: a
// FIFO would block the open (and the whole window) until some writer comes,
// a device would be read without end.
namespace RegularFile {

// Opens the file's path for reading into `file` only when it is a regular
// file: without blocking, with the type checked on what was opened. The file
// is then opened by descriptor: ask about its path, not the QFile.
bool Open(QFile& file, QIODevice::OpenMode mode = QIODevice::ReadOnly);

// A read-only descriptor of a regular file or folder, opened without
// blocking; -1 for anything else. The caller closes it.
int OpenDescriptor(const QByteArray& nativePath);

// A read-only descriptor of a regular file, its type checked before and on
// what was opened, and its size in *size; -1 for anything else. O_NONBLOCK
// stays set: reads of a regular file never wait anyway. The caller closes it.
int OpenReadOnly(const QByteArray& nativePath, uint64_t* size);

} // namespace RegularFile
