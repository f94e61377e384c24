#include "library/Sha256.h"

#include <QIODevice>
#include <dlfcn.h>
#include <vector>

namespace {

// The few EVP calls a digest needs, from the system's libcrypto.
struct Crypto {
    void* (*newContext)() = nullptr;
    void (*freeContext)(void*) = nullptr;
    const void* (*sha256)() = nullptr;
    int (*init)(void*, const void*, void*) = nullptr;
    int (*update)(void*, const void*, size_t) = nullptr;
    int (*final)(void*, unsigned char*, unsigned int*) = nullptr;
};

const Crypto* OpenCrypto() {
    static const Crypto* const crypto = []() -> const Crypto* {
        void* module = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_LOCAL);
        if (!module)
            return nullptr;
        static Crypto c;
        c.newContext = reinterpret_cast<decltype(c.newContext)>(dlsym(module, "EVP_MD_CTX_new"));
        c.freeContext = reinterpret_cast<decltype(c.freeContext)>(dlsym(module, "EVP_MD_CTX_free"));
        c.sha256 = reinterpret_cast<decltype(c.sha256)>(dlsym(module, "EVP_sha256"));
        c.init = reinterpret_cast<decltype(c.init)>(dlsym(module, "EVP_DigestInit_ex"));
        c.update = reinterpret_cast<decltype(c.update)>(dlsym(module, "EVP_DigestUpdate"));
        c.final = reinterpret_cast<decltype(c.final)>(dlsym(module, "EVP_DigestFinal_ex"));
        if (!c.newContext || !c.freeContext || !c.sha256 || !c.init || !c.update || !c.final)
            return nullptr;
        return &c;
    }();
    return crypto;
}

} // namespace

bool Sha256::Accelerated() {
    return OpenCrypto() != nullptr;
}

Sha256::Sha256(bool accelerated) {
    const Crypto* crypto = accelerated ? OpenCrypto() : nullptr;
    if (!crypto)
        return;
    context_ = crypto->newContext();
    if (context_ && crypto->init(context_, crypto->sha256(), nullptr) != 1) {
        crypto->freeContext(context_);
        context_ = nullptr;
    }
}

Sha256::~Sha256() {
    if (context_)
        OpenCrypto()->freeContext(context_);
}

void Sha256::Add(const char* data, size_t size) {
    if (context_)
        OpenCrypto()->update(context_, data, size);
    else
        portable_.addData(QByteArrayView(data, qsizetype(size)));
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
    if (!context_)
        return portable_.result();
    QByteArray digest(32, Qt::Uninitialized);
    unsigned int length = 0;
    OpenCrypto()->final(context_, reinterpret_cast<unsigned char*>(digest.data()), &length);
    return digest;
}
