#include "settings/AppSettings.h"
#include "platform/IniFile.h"
#include "settings/LanguageTable.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

class AppSettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    QString Ini() const { return dir_.filePath("Halvex.ini"); }
    void WriteIni(const QByteArray& text) { ASSERT_TRUE(WriteAll(Ini(), text)); }

    QTemporaryDir dir_;
};

TEST_F(AppSettingsTest, MissingFileGivesDefaults) {
    AppSettings settings(dir_.path());
    EXPECT_EQ(settings.Path(), Ini());
    EXPECT_EQ(settings.LanguageIndex(), 0);
    EXPECT_EQ(settings.LanguageId(), 0x0409);
    EXPECT_EQ(settings.ReadMapChoice(), MAP_GOOGLE);
    EXPECT_EQ(settings.ReadInt("UI", "MAP_ENABLE", 1), 1);
    EXPECT_EQ(settings.ReadInt("WINPOS", "RIGHT", 800), 800);
    EXPECT_EQ(settings.ReadString("UI", "Folder", "dflt"), "dflt");
    EXPECT_EQ(settings.GetLastFolder(), QString());
    EXPECT_FALSE(QFile::exists(Ini())) << "reads must not create the file";
}

// Each key reads the line the settings file has always held for it, and
// gives its default when the file lacks it.
TEST_F(AppSettingsTest, EachSettingKeyReadsItsLineOrItsDefault) {
    const struct {
        IntSetting setting;
        int written, missing;
    } numbers[] = {
        {SettingKeys::kWindowLeft, -5, 0},     {SettingKeys::kWindowTop, 7, 0},
        {SettingKeys::kWindowRight, 900, 800}, {SettingKeys::kWindowBottom, 700, 560},
        {SettingKeys::kMapEnabled, 0, 1},      {SettingKeys::kGSensorEnabled, 0, 1},
        {SettingKeys::kMapChoice, 1, 0},       {SettingKeys::kSpeedInMiles, 1, 0},
    };
    const struct {
        TextSetting setting;
        const char* written;
        const char* missing;
    } texts[] = {
        {SettingKeys::kLanguage, "GER", "ENG"},
        {SettingKeys::kLastFolder, "/media/card", ""},
        {SettingKeys::kExportFolder, "/home/u/out", ""},
        {SettingKeys::kTileUrl, "https://t/{z}/{x}/{y}.png", ""},
        {SettingKeys::kTileAttribution, "Tiles", ""},
    };
    {
        AppSettings empty(dir_.path());
        for (const auto& n : numbers)
            EXPECT_EQ(empty.Read(n.setting), n.missing) << n.setting.key;
        for (const auto& t : texts)
            EXPECT_EQ(empty.Read(t.setting), t.missing) << t.setting.key;
    }
    WriteIni("[WINPOS]\nLEFT=-5\nTOP=7\nRIGHT=900\nBOTTOM=700\n"
             "[UI]\nMAP_ENABLE=0\nGSNR_ENABLE=0\nMAP=1\nSPEED_MPH=1\nLANGID=GER\n"
             "Folder=/media/card\nEXPORT_FOLDER=/home/u/out\n"
             "[MAP]\nTileUrl=https://t/{z}/{x}/{y}.png\nTileAttribution=Tiles\n");
    AppSettings settings(dir_.path());
    for (const auto& n : numbers)
        EXPECT_EQ(settings.Read(n.setting), n.written) << n.setting.key;
    for (const auto& t : texts)
        EXPECT_EQ(settings.Read(t.setting), t.written) << t.setting.key;

    // A write goes to the same line.
    EXPECT_TRUE(settings.Write(SettingKeys::kWindowLeft, 12));
    EXPECT_TRUE(settings.Write(SettingKeys::kLastFolder, "/mnt"));
    EXPECT_EQ(settings.ReadInt("WINPOS", "LEFT", 0), 12);
    EXPECT_EQ(settings.ReadString("UI", "Folder", ""), "/mnt");
}

TEST_F(AppSettingsTest, LanguageCodeSelectsTheLanguage) {
    struct Case {
        const char* line;
        int index;
    } cases[] = {
        {"LANGID=JPN", 6}, {"LANGID=jpn", 6},    {"LANGID=", 6},
        {"LANGID=ENG", 0}, {"LANGID=GER", 7},    {"LANGID=UKR", 15},
        {"LANGID=XYZ", 6}, {"langid = KOR ", 9}, {"OTHER=GER", 0},
    };
    for (const Case& c : cases) {
        WriteIni(QByteArray("[UI]\n") + c.line + "\n");
        AppSettings settings(dir_.path());
        EXPECT_EQ(settings.LanguageIndex(), c.index) << c.line;
        EXPECT_EQ(settings.LanguageId(), LanguageTable()[c.index].LanguageId()) << c.line;
    }
}

TEST_F(AppSettingsTest, MapChoiceIsClamped) {
    struct Case {
        const char* value;
        int choice;
    } cases[] = {{"0", 0}, {"1", 1}, {"5", 1}, {"-1", 0}, {"abc", 0}, {"2147483647", 1}};
    for (const Case& c : cases) {
        WriteIni(QByteArray("[UI]\nMAP=") + c.value + "\n");
        AppSettings settings(dir_.path());
        EXPECT_EQ(settings.ReadMapChoice(), c.choice) << c.value;
        EXPECT_EQ(settings.MapChoice(), c.choice) << c.value;
    }
}

TEST_F(AppSettingsTest, IntegersParseLikeThePlatform) {
    struct Case {
        const char* value;
        int expected;
    } cases[] = {
        {"12abc", 12},
        {"abc", 0},
        {"-7", -7},
        {"+3", 3},
        {"  42  ", 42},
        {"", 0},
        {"0x10", 0},
        {"-", 0},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
    };
    for (const Case& c : cases) {
        WriteIni(QByteArray("[WINPOS]\nLEFT=") + c.value + "\n");
        EXPECT_EQ(AppSettings(dir_.path()).ReadInt("WINPOS", "LEFT", 555), c.expected)
            << '"' << c.value << '"';
    }
}

TEST_F(AppSettingsTest, WritesKeepOtherLines) {
    WriteIni("; kept comment\n"
             "[UI]\n"
             "LANGID=GER\n"
             "Folder=/media/card\n"
             "\n"
             "[WINPOS]\n"
             "LEFT=1\n"
             "TOP=2\n");
    AppSettings settings(dir_.path());
    EXPECT_TRUE(settings.WriteInt("WINPOS", "LEFT", -5));      // existing key
    EXPECT_TRUE(settings.WriteInt("UI", "MAP", 1));            // new key, existing section
    EXPECT_TRUE(settings.WriteString("Extra", "Name", "x"));   // new section
    EXPECT_TRUE(settings.WriteString("ui", "folder", "/mnt")); // names ignore case
    EXPECT_EQ(ReadAll(Ini()), "; kept comment\n"
                              "[UI]\n"
                              "LANGID=GER\n"
                              "folder=/mnt\n"
                              "MAP=1\n"
                              "\n"
                              "[WINPOS]\n"
                              "LEFT=-5\n"
                              "TOP=2\n"
                              "[Extra]\n"
                              "Name=x\n");
    EXPECT_EQ(settings.ReadInt("WINPOS", "LEFT", 0), -5);
    EXPECT_EQ(settings.ReadString("UI", "Folder", ""), "/mnt");
}

// Another program's section may be in another encoding and the file may have
// come from Windows: a write changes its own line, every other byte stays.
TEST_F(AppSettingsTest, WritesKeepOtherProgramsBytes) {
    const struct {
        const char* name;
        QByteArray before, after;
    } cases[] = {
        {"CRLF and Latin-1",
         "[Other]\r\nName=Gr\xfc\xdf"
         "e\r\n[WINPOS]\r\nLEFT=1\r\n",
         "[Other]\r\nName=Gr\xfc\xdf"
         "e\r\n[WINPOS]\r\nLEFT=7\r\n"},
        {"new key and section keep CRLF", "[Other]\r\nA=\xff\r\n",
         "[Other]\r\nA=\xff\r\n[WINPOS]\r\nLEFT=7\r\n"},
        {"no newline at the end", "[Other]\nB=\x80", "[Other]\nB=\x80\n[WINPOS]\nLEFT=7\n"},
        {"byte order mark", "\xEF\xBB\xBF[WINPOS]\nLEFT=1\n", "\xEF\xBB\xBF[WINPOS]\nLEFT=7\n"},
    };
    for (const auto& c : cases) {
        WriteIni(c.before);
        AppSettings settings(dir_.path());
        EXPECT_TRUE(settings.WriteInt("WINPOS", "LEFT", 7)) << c.name;
        EXPECT_EQ(ReadAll(Ini()), c.after) << c.name;
        EXPECT_EQ(settings.ReadInt("WINPOS", "LEFT", 0), 7) << c.name;
    }
}

// A FIFO under the settings file's name would block the start until some
// writer came: it is read as no file and never written over.
TEST_F(AppSettingsTest, AFifoNamedLikeTheFileNeitherBlocksNorIsReplaced) {
    ASSERT_EQ(mkfifo(QFile::encodeName(Ini()).constData(), 0600), 0);
    AppSettings settings(dir_.path());
    EXPECT_EQ(settings.ReadInt("WINPOS", "LEFT", 42), 42);
    EXPECT_EQ(settings.ReadString("UI", "Folder", "none"), "none");
    EXPECT_FALSE(settings.WriteInt("WINPOS", "LEFT", 7));
    EXPECT_FALSE(QFileInfo(Ini()).isFile()) << "the FIFO is still there";
}

TEST_F(AppSettingsTest, FirstWriteCreatesTheFile) {
    AppSettings settings(dir_.path());
    EXPECT_TRUE(settings.WriteInt("WINPOS", "BOTTOM", 560));
    EXPECT_EQ(ReadAll(Ini()), "[WINPOS]\nBOTTOM=560\n");

    AppSettings nowhere(dir_.filePath("missing/folder"));
    EXPECT_FALSE(nowhere.WriteInt("WINPOS", "BOTTOM", 560));
}

// A line break inside a value would end the line early and turn the rest into
// keys or sections of their own.
TEST_F(AppSettingsTest, WritesRefuseLineBreaks) {
    WriteIni("[WINPOS]\nLEFT=1\n");
    AppSettings settings(dir_.path());
    for (const QString& value : {QString("/a\n[WINPOS]\nLEFT=99"), QString("/a\rLEFT=99")})
        EXPECT_FALSE(settings.WriteString("UI", "Folder", value));
    EXPECT_FALSE(settings.WriteString("UI", "Fol\nder", "x"));
    EXPECT_FALSE(settings.WriteString("UI", "A=B", "x"));
    EXPECT_FALSE(settings.WriteString("U]I", "Folder", "x"));
    EXPECT_FALSE(settings.WriteString("UI", "", "x"));
    EXPECT_EQ(ReadAll(Ini()), "[WINPOS]\nLEFT=1\n");
}

TEST_F(AppSettingsTest, SetLanguageStoresAndWritesTheCode) {
    AppSettings settings(dir_.path());
    settings.SetLanguage(7);
    EXPECT_EQ(settings.LanguageIndex(), 7);
    EXPECT_EQ(settings.LanguageId(), 0x0407);
    EXPECT_EQ(settings.ReadString("UI", "LANGID", ""), "GER");

    for (int bad : {-1, 16, 100}) {
        settings.SetLanguage(bad);
        EXPECT_EQ(settings.LanguageIndex(), 7) << bad;
        EXPECT_EQ(settings.ReadString("UI", "LANGID", ""), "GER") << bad;
    }
    EXPECT_EQ(AppSettings(dir_.path()).LanguageIndex(), 7);
}

TEST_F(AppSettingsTest, LastFolderOnlyWhileItExists) {
    const QString folder = dir_.filePath("card");
    ASSERT_TRUE(QDir().mkpath(folder));
    AppSettings settings(dir_.path());
    ASSERT_TRUE(settings.WriteString("UI", "Folder", folder));
    EXPECT_EQ(settings.GetLastFolder(), folder);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_EQ(settings.GetLastFolder(), QString());
}

// Instance() settles on the working directory of its first call, whatever
// its length, and keeps it.
TEST(AppSettingsInstance, UsesTheWorkingDirectoryOfFirstUse) {
    QTemporaryDir first;
    QTemporaryDir second;
    ASSERT_TRUE(first.isValid() && second.isValid());
    QString deep = first.path();
    while (deep.size() < 1100)
        deep += "/a-rather-long-folder-name-for-the-working-directory";
    ASSERT_TRUE(QDir().mkpath(deep));
    const QString previous = QDir::currentPath();

    ASSERT_TRUE(QDir::setCurrent(deep));
    AppSettings::DiscardInstance();
    AppSettings& settings = AppSettings::Instance();
    ASSERT_TRUE(QDir::setCurrent(second.path()));
    EXPECT_EQ(&AppSettings::Instance(), &settings);
    EXPECT_EQ(settings.Path(), deep + "/Halvex.ini");
    EXPECT_TRUE(settings.WriteInt("UI", "MAP", 1));
    EXPECT_TRUE(QFile::exists(deep + "/Halvex.ini"));
    EXPECT_FALSE(QFile::exists(second.filePath("Halvex.ini")));

    AppSettings::DiscardInstance();
    QDir::setCurrent(previous);
}

} // namespace
