#include "library/Sha256.h"

#include <QIODevice>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <immintrin.h>
#define HALVEX_SHA_NI 1
#endif

namespace {

const uint32_t kInitial[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                              0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};

#ifdef HALVEX_SHA_NI
alignas(16) const uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

bool HasShaInstructions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d))
        return false;
    const bool ssse3 = c & (1u << 9), sse41 = c & (1u << 19);
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    return ssse3 && sse41 && (b & (1u << 29));
}

// The rounds of `count` 64-byte blocks with the SHA extensions. The state
// is kept as the instructions want it: ABEF and CDGH.
__attribute__((target("sha,sse4.1,ssse3"))) void ShaNiBlocks(uint32_t state[8], const uint8_t* data,
                                                             size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
    __m128i tmp = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state)), 0xB1);
    __m128i state1 =
        _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4)), 0x1B);
    __m128i state0 = _mm_alignr_epi8(tmp, state1, 8);
    state1 = _mm_blend_epi16(state1, tmp, 0xF0);

    for (; count > 0; --count, data += 64) {
        const __m128i abef = state0, cdgh = state1;
        __m128i w[4];
        for (int k = 0; k < 16; ++k) {
            __m128i& x = w[k & 3];
            if (k < 4) {
                x = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * k)), byteSwap);
            } else {
                // Words 4k..4k+3 from those 16, 15, 7 and 2 before them.
                const __m128i& back1 = w[(k - 1) & 3];
                const __m128i& back2 = w[(k - 2) & 3];
                const __m128i& back3 = w[(k - 3) & 3];
                x = _mm_sha256msg2_epu32(
                    _mm_add_epi32(_mm_sha256msg1_epu32(x, back3), _mm_alignr_epi8(back1, back2, 4)),
                    back1);
            }
            __m128i message =
                _mm_add_epi32(x, _mm_load_si128(reinterpret_cast<const __m128i*>(kRound + 4 * k)));
            state1 = _mm_sha256rnds2_epu32(state1, state0, message);
            message = _mm_shuffle_epi32(message, 0x0E);
            state0 = _mm_sha256rnds2_epu32(state0, state1, message);
        }
        state0 = _mm_add_epi32(state0, abef);
        state1 = _mm_add_epi32(state1, cdgh);
    }

    tmp = _mm_shuffle_epi32(state0, 0x1B);
    state1 = _mm_shuffle_epi32(state1, 0xB1);
    state0 = _mm_blend_epi16(tmp, state1, 0xF0);
    state1 = _mm_alignr_epi8(state1, tmp, 8);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), state0);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), state1);
}
#endif

} // namespace

bool Sha256::Accelerated() {
#ifdef HALVEX_SHA_NI
    static const bool has = HasShaInstructions();
    return has;
#else
    return false;
#endif
}

Sha256::Sha256(bool accelerated) : fast_(accelerated && Accelerated()) {
    std::memcpy(state_, kInitial, sizeof state_);
}

void Sha256::Blocks(const uint8_t* data, size_t count) {
#ifdef HALVEX_SHA_NI
    ShaNiBlocks(state_, data, count);
#else
    (void)data;
    (void)count;
#endif
}

void Sha256::Add(const char* data, size_t size) {
    if (!fast_) {
        portable_.addData(QByteArrayView(data, qsizetype(size)));
        return;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(data);
    total_ += size;
    if (pendingSize_ > 0) {
        const size_t take = std::min(size, sizeof pending_ - pendingSize_);
        std::memcpy(pending_ + pendingSize_, bytes, take);
        pendingSize_ += take;
        bytes += take;
        size -= take;
        if (pendingSize_ < sizeof pending_)
            return;
        Blocks(pending_, 1);
        pendingSize_ = 0;
    }
    Blocks(bytes, size / 64);
    bytes += size / 64 * 64;
    pendingSize_ = size % 64;
    std::memcpy(pending_, bytes, pendingSize_);
}

bool Sha256::Add(QIODevice& device) {
    std::vector<char> buffer(static_cast<size_t>(1 << 20));
    for (;;) {
        const qint64 n = device.read(buffer.data(), qint64(buffer.size()));
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        Add(buffer.data(), size_t(n));
    }
}

QByteArray Sha256::Result() {
    if (!fast_)
        return portable_.result();
    const uint64_t bits = total_ * 8;
    uint8_t tail[128] = {};
    std::memcpy(tail, pending_, pendingSize_);
    tail[pendingSize_] = 0x80;
    const size_t length = pendingSize_ + 9 <= 64 ? 64 : 128;
    for (int i = 0; i < 8; ++i)
        tail[length - 1 - i] = uint8_t(bits >> (8 * i));
    Blocks(tail, length / 64);
    QByteArray digest(32, Qt::Uninitialized);
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j)
            digest[4 * i + j] = char(state_[i] >> (24 - 8 * j));
    return digest;
}
