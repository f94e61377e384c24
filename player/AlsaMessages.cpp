#include "player/AlsaMessages.h"

#include "platform/LogCategories.h"

#include <cstdarg>
#include <cstdio>
#include <dlfcn.h>

namespace {

// snd_lib_error_handler_t of <alsa/error.h>.
using AlsaErrorHandler = void (*)(const char* file, int line, const char* function, int err,
                                  const char* fmt, ...);
using SetAlsaErrorHandler = int (*)(AlsaErrorHandler handler);

void Diagnose(const char* file, int line, const char* function, int err, const char* fmt, ...) {
    char text[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    qCDebug(lcDiag, "ALSA lib %s:%d:(%s) %s (%d)", file, line, function, text, err);
}

} // namespace

void RouteAlsaMessagesToDiagnostics() {
    static const bool done = [] {
        // Kept loaded for the process's life: libvlc's plug-in shares it.
        void* alsa = dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
        if (!alsa)
            return false;
        auto set = reinterpret_cast<SetAlsaErrorHandler>(dlsym(alsa, "snd_lib_error_set_handler"));
        return set && set(&Diagnose) == 0;
    }();
    (void)done;
}
