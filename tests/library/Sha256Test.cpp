// libcrypto's SHA-256 against Qt's, on lengths around the block and
// padding edges, fed whole and in uneven pieces.
#include "library/Sha256.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

namespace {

TEST(Sha256, MatchesQtOnEveryEdgeAndPiece) {
    if (!Sha256::Accelerated())
        GTEST_SKIP() << "libcrypto.so.3 is not on this machine; Qt's code is used as it is";
    EXPECT_EQ(Sha256().Result().toHex(),
              "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    Sha256 abc;
    abc.Add(QByteArray("abc"));
    EXPECT_EQ(abc.Result().toHex(),
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");

    QByteArray data(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    uint32_t x = 12345;
    for (char& c : data) {
        x = x * 1103515245 + 12345;
        c = char(x >> 23);
    }
    const int lengths[] = {1, 55, 56, 57, 63, 64, 65, 119, 120, 128, 1000, 65536, int(data.size())};
    const int pieces[] = {1, 7, 64, 100, 1 << 20};
    for (int length : lengths) {
        const QByteArray part = data.left(length);
        const QByteArray expected = QCryptographicHash::hash(part, QCryptographicHash::Sha256);
        for (int piece : pieces) {
            if (piece == 1 && length > 70000)
                continue;
            Sha256 sha;
            for (int at = 0; at < length; at += piece)
                sha.Add(part.constData() + at, size_t(std::min(piece, length - at)));
            EXPECT_EQ(sha.Result(), expected) << length << " in pieces of " << piece;
        }
    }
}

} // namespace
