#pragma once
// SHA-256 through OpenSSL's libcrypto, which uses the CPU's SHA instructions
// where it has them (several times QCryptographicHash's speed).
#include <QByteArray>
#include <QString>

class JobControl;

// The file's SHA-256 in lower-case hex; empty when it cannot be read or
// when the job it is read for is cancelled meanwhile.
QByteArray FileSha256(const QString& path, const JobControl* job = nullptr);

// The same for an open file, read from its start; the file stays open.
QByteArray FdSha256(int fd, const JobControl* job = nullptr);

// The bytes' SHA-256 in lower-case hex.
QByteArray BytesSha256(const QByteArray& bytes);
