#pragma once
// What a clip shows: which cameras and how, the sound, the burned-in figures.
#include <QString>
#include <QStringList>
#include <cstdint>

enum class ClipLayout { Front, Rear, SideBySide, PictureInPicture, FrontAboveRear };
enum class ClipCorner { TopLeft, TopRight, BottomLeft, BottomRight };

enum ClipOverlay : uint32_t {
    kOverlayTime = 1,
    kOverlaySpeed = 2,
    kOverlayPosition = 4,
    kOverlayHeading = 8,
    kOverlayGSensor = 16,
    kOverlayMap = 32,
};

struct ClipOptions {
    ClipLayout layout = ClipLayout::Front;
    ClipCorner insetCorner = ClipCorner::TopRight; // the rear picture's, picture in picture
    bool sound = true;                             // the front camera's sound
    uint32_t overlays = 0;
    bool speedInMph = false;
};

// Names used on the command line and in the manifest.
QString LayoutName(ClipLayout layout);
bool LayoutFromName(const QString& name, ClipLayout* layout);
QString CornerName(ClipCorner corner);
bool CornerFromName(const QString& name, ClipCorner* corner);
QStringList OverlayNames(uint32_t overlays);
// A comma-separated list ("time,speed"); false on an unknown name.
bool OverlaysFromText(const QString& text, uint32_t* overlays);

inline bool UsesFront(ClipLayout l) {
    return l != ClipLayout::Rear;
}
inline bool UsesRear(ClipLayout l) {
    return l != ClipLayout::Front;
}
