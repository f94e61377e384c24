#pragma once
#include "settings/SettingKeys.h"

#include <QString>
#include <cstdint>

constexpr int MAP_GOOGLE = 0;
constexpr int MAP_CHINA = 1;
static_assert(SettingKeys::kMapChoice.defaultValue == MAP_GOOGLE);

// The settings file "Halvex.ini" and the language and map choices read from
// it. One object per process; its path is fixed at first use.
class AppSettings {
  public:
    static AppSettings& Instance();
    // Drops the process's object so that the next Instance() starts afresh
    // from the then current directory. For tests only.
    static void DiscardInstance();
    // Fixes the process's object to the settings file in `directory`: for a
    // program that does not move into its settings folder (the command line).
    static void PlaceInstance(const QString& directory);

    // Settings kept in "Halvex.ini" inside `directory`.
    explicit AppSettings(const QString& directory);

    const QString& Path() const { return path_; }

    // A setting of SettingKeys, its default when missing.
    int Read(const IntSetting& setting) const;
    QString Read(const TextSetting& setting) const;
    bool Write(const IntSetting& setting, int value);
    bool Write(const TextSetting& setting, const QString& value);

    // Any key, for the settings whose keys are numbered.
    int ReadInt(const QString& section, const QString& key, int defaultValue) const;
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue,
                       int bufferChars = 1024) const;
    bool WriteInt(const QString& section, const QString& key, int value);
    bool WriteString(const QString& section, const QString& key, const QString& value);

    // 0 <= index < 16: stores index and id and writes the code to UI/LANGID.
    void SetLanguage(int index);
    int LanguageIndex() const { return languageIndex_; }
    uint16_t LanguageId() const { return languageId_; }

    // UI/MAP clamped to 0..1, kept as the map choice.
    int ReadMapChoice();
    int MapChoice() const { return mapChoice_; }
    void SetMapChoice(int choice) { mapChoice_ = choice; }

    // UI/SPEED_MPH: the speed read-out shows miles per hour (any non-zero
    // value); missing or 0 is km/h.
    bool ReadSpeedInMiles() const { return Read(SettingKeys::kSpeedInMiles) != 0; }
    void WriteSpeedInMiles(bool miles) { Write(SettingKeys::kSpeedInMiles, miles ? 1 : 0); }

    // UI/Folder, or "" when that folder no longer exists.
    QString GetLastFolder() const;

  private:
    QString path_;
    int languageIndex_ = 0;
    uint16_t languageId_ = 0;
    int mapChoice_ = MAP_GOOGLE;
};
