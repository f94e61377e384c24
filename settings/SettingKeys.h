#pragma once

// One number kept in the settings file: its section, its key and the value
// a missing key or file gives.
struct IntSetting {
    const char* section;
    const char* key;
    int defaultValue;
};

// One text kept in the settings file.
struct TextSetting {
    const char* section;
    const char* key;
    const char* defaultValue;
};

// Every setting the viewer keeps in "Halvex.ini", each written once here.
namespace SettingKeys {

// The window's rectangle; the right and bottom edges default to the
// smallest window (800 x 560) at the origin.
inline constexpr IntSetting kWindowLeft{"WINPOS", "LEFT", 0};
inline constexpr IntSetting kWindowTop{"WINPOS", "TOP", 0};
inline constexpr IntSetting kWindowRight{"WINPOS", "RIGHT", 800};
inline constexpr IntSetting kWindowBottom{"WINPOS", "BOTTOM", 560};

// The panes, on unless written 0.
inline constexpr IntSetting kMapEnabled{"UI", "MAP_ENABLE", 1};
inline constexpr IntSetting kGSensorEnabled{"UI", "GSNR_ENABLE", 1};
// The map page: 0 the world page, 1 the China page.
inline constexpr IntSetting kMapChoice{"UI", "MAP", 0};
// The speed read-out in miles per hour (any value but 0).
inline constexpr IntSetting kSpeedInMiles{"UI", "SPEED_MPH", 0};
// The language's three-letter code.
inline constexpr TextSetting kLanguage{"UI", "LANGID", "ENG"};
// The folder opened last.
inline constexpr TextSetting kLastFolder{"UI", "Folder", ""};
// The folder exports were last written to.
inline constexpr TextSetting kExportFolder{"UI", "EXPORT_FOLDER", ""};

// Another tile source for the map pages, and its attribution.
inline constexpr TextSetting kTileUrl{"MAP", "TileUrl", ""};
inline constexpr TextSetting kTileAttribution{"MAP", "TileAttribution", ""};

} // namespace SettingKeys
