#include "recordings/ResolutionName.h"

namespace {

struct NamedSize {
    int width;
    int height;
    const char* name;
};

// Looked up in this order; the first exact match wins.
constexpr NamedSize kNamedSizes[] = {
    {2048, 1600, "QXGA"}, {2048, 1536, "QXGA"}, {1920, 1080, "1080P HD"}, {1600, 1200, "UXGA"},
    {1280, 1024, "SXGA"}, {1280, 720, "720P"},  {1152, 870, "MAC"},       {1024, 768, "XGA"},
    {800, 600, "SVGA"},   {720, 480, "480P"},   {640, 480, "VGA"},        {320, 240, "CIF"},
};

} // namespace

QString ResolutionName(uint16_t width, uint16_t height) {
    for (const NamedSize& s : kNamedSizes)
        if (s.width == width && s.height == height)
            return QString::fromLatin1(s.name);
    if (width != 0 && height != 0)
        return QStringLiteral("%1x%2").arg(width).arg(height);
    return QString();
}
