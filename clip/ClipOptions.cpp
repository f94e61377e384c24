#include "clip/ClipOptions.h"

namespace {

const char* const kLayouts[] = {"front", "rear", "side-by-side", "picture-in-picture",
                                "front-above-rear"};
const char* const kCorners[] = {"top-left", "top-right", "bottom-left", "bottom-right"};
const char* const kOverlays[] = {"time", "speed", "position", "heading", "g", "map"};

template <typename T, size_t N>
bool FromName(const char* const (&names)[N], const QString& name, T* value) {
    for (size_t i = 0; i < N; ++i) {
        if (name == QLatin1String(names[i])) {
            *value = T(i);
            return true;
        }
    }
    return false;
}

} // namespace

QString LayoutName(ClipLayout layout) {
    return kLayouts[int(layout)];
}

bool LayoutFromName(const QString& name, ClipLayout* layout) {
    return FromName(kLayouts, name, layout);
}

QString CornerName(ClipCorner corner) {
    return kCorners[int(corner)];
}

bool CornerFromName(const QString& name, ClipCorner* corner) {
    return FromName(kCorners, name, corner);
}

QStringList OverlayNames(uint32_t overlays) {
    QStringList names;
    for (int i = 0; i < 6; ++i) {
        if (overlays & (1u << i))
            names << kOverlays[i];
    }
    return names;
}

bool OverlaysFromText(const QString& text, uint32_t* overlays) {
    *overlays = 0;
    for (const QString& part : text.split(',', Qt::SkipEmptyParts)) {
        int bit = 0;
        if (!FromName(kOverlays, part.trimmed(), &bit))
            return false;
        *overlays |= 1u << bit;
    }
    return true;
}
