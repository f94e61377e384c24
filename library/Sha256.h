#pragma once
// SHA-256 of large files at the speed of the disk: the processor's SHA
// instructions where it has them (most x86 processors since 2016 do), else
// Qt's own code. Qt Core's hash alone runs at a fraction of a card reader's
// speed, and the program links no other crypto library.
#include <QByteArray>
#include <QCryptographicHash>
#include <cstddef>
#include <cstdint>

class QIODevice;

class Sha256 {
  public:
    // `accelerated` false keeps to Qt's code even where the instructions exist.
    explicit Sha256(bool accelerated = true);

    void Add(const char* data, size_t size);
    void Add(const QByteArray& bytes) { Add(bytes.constData(), size_t(bytes.size())); }
    // Everything left to read from the device; false on a read error.
    bool Add(QIODevice& device);
    // The 32-byte digest; the object is done with.
    QByteArray Result();

    // Whether this processor has the instructions.
    static bool Accelerated();

  private:
    void Blocks(const uint8_t* data, size_t count);

    bool fast_;
    QCryptographicHash portable_{QCryptographicHash::Sha256};
    uint32_t state_[8];
    uint8_t pending_[64];
    size_t pendingSize_ = 0;
    uint64_t total_ = 0;
};
