#include "player/VlcApi.h"

#include <dlfcn.h>

VlcApi::~VlcApi() {
    if (module_)
        dlclose(module_);
}

QString VlcApi::LibraryName() {
    const QString chosen = qEnvironmentVariable("HALVEX_LIBVLC");
    return chosen.isEmpty() ? QStringLiteral("libvlc.so.5") : chosen;
}

std::shared_ptr<VlcApi> VlcApi::Load(const QString& library) {
    void* module = dlopen(library.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!module)
        return nullptr;
    auto api = std::make_shared<VlcApi>();
    api->module_ = module;
    bool complete = true;
#define HALVEX_VLC_RESOLVE(name)                                                                   \
    api->name = reinterpret_cast<decltype(api->name)>(dlsym(module, #name));                       \
    complete = complete && api->name != nullptr;
    HALVEX_VLC_FUNCTIONS(HALVEX_VLC_RESOLVE)
#undef HALVEX_VLC_RESOLVE
    if (!complete)
        return nullptr; // the destructor unloads the library
    return api;
}
