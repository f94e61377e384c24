#pragma once
// SHA-256 of large files at the speed of the disk: OpenSSL's libcrypto,
// opened when the first hash is made (it uses the processor's SHA
// instructions), else Qt's own code. Qt Core's hash alone runs at a
// fraction of a card reader's speed, and the command line's start should not
// pay for libcrypto when nothing is hashed.
#include <QByteArray>
#include <QCryptographicHash>
#include <cstddef>

class QIODevice;

class Sha256 {
  public:
    // `accelerated` false keeps to Qt's code even where libcrypto is there.
    explicit Sha256(bool accelerated = true);
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(const char* data, size_t size);
    void Add(const QByteArray& bytes) { Add(bytes.constData(), size_t(bytes.size())); }
    // Everything left to read from the device; false on a read error.
    bool Add(QIODevice& device);
    // The 32-byte digest; the object is done with.
    QByteArray Result();

    // Whether libcrypto could be opened.
    static bool Accelerated();

  private:
    void* context_ = nullptr; // libcrypto's EVP_MD_CTX, when it is used
    QCryptographicHash portable_{QCryptographicHash::Sha256};
};
