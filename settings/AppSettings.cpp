#include "settings/AppSettings.h"

#include "platform/IniFile.h"
#include "settings/LanguageTable.h"

#include <QDir>
#include <QFileInfo>
#include <memory>

namespace {
std::unique_ptr<AppSettings> g_instance;
}

AppSettings& AppSettings::Instance() {
    // The whole path: a cut one would name some other folder.
    if (!g_instance)
        g_instance = std::make_unique<AppSettings>(QDir::currentPath());
    return *g_instance;
}

void AppSettings::DiscardInstance() {
    g_instance.reset();
}

void AppSettings::PlaceInstance(const QString& directory) {
    g_instance = std::make_unique<AppSettings>(QFileInfo(directory).absoluteFilePath());
}

AppSettings::AppSettings(const QString& directory) : path_(directory + "/Halvex.ini") {
    // A missing key gives English; a code that matches no entry keeps Japanese.
    languageIndex_ = kJapaneseIndex;
    const int found =
        FindLanguageCode(ReadString(SettingKeys::kLanguage.section, SettingKeys::kLanguage.key,
                                    SettingKeys::kLanguage.defaultValue, 64));
    if (found >= 0)
        languageIndex_ = found;
    languageId_ = LanguageTable()[languageIndex_].LanguageId();
}

int AppSettings::Read(const IntSetting& setting) const {
    return ReadInt(setting.section, setting.key, setting.defaultValue);
}

QString AppSettings::Read(const TextSetting& setting) const {
    return ReadString(setting.section, setting.key, QString::fromUtf8(setting.defaultValue));
}

bool AppSettings::Write(const IntSetting& setting, int value) {
    return WriteInt(setting.section, setting.key, value);
}

bool AppSettings::Write(const TextSetting& setting, const QString& value) {
    return WriteString(setting.section, setting.key, value);
}

int AppSettings::ReadInt(const QString& section, const QString& key, int defaultValue) const {
    return IniFile::ReadInt(path_, section, key, defaultValue);
}

QString AppSettings::ReadString(const QString& section, const QString& key,
                                const QString& defaultValue, int bufferChars) const {
    return IniFile::ReadString(path_, section, key, defaultValue, bufferChars);
}

bool AppSettings::WriteInt(const QString& section, const QString& key, int value) {
    return IniFile::WriteString(path_, section, key, QString::number(value));
}

bool AppSettings::WriteString(const QString& section, const QString& key, const QString& value) {
    return IniFile::WriteString(path_, section, key, value);
}

void AppSettings::SetLanguage(int index) {
    if (index < 0 || index >= kLanguageCount)
        return;
    languageIndex_ = index;
    languageId_ = LanguageTable()[index].LanguageId();
    Write(SettingKeys::kLanguage, QLatin1String(LanguageTable()[index].code));
}

int AppSettings::ReadMapChoice() {
    mapChoice_ = qBound(MAP_GOOGLE, Read(SettingKeys::kMapChoice), MAP_CHINA);
    return mapChoice_;
}

QString AppSettings::GetLastFolder() const {
    const QString folder = Read(SettingKeys::kLastFolder);
    if (folder.isEmpty() || !QFileInfo::exists(folder))
        return QString();
    return folder;
}
