#include "strings/StringTable.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "strings/SystemUiLanguage.h"
#include "strings/UiStrings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr uint16_t kEnglish = 0x0409;
constexpr uint16_t kJapanese = 0x0411;
constexpr uint16_t kSpanish = 0x040A;
constexpr uint16_t kItalian = 0x0410;
constexpr uint16_t kGerman = 0x0407;

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

std::vector<unsigned> DesignedIds() {
    std::vector<unsigned> ids;
    for (unsigned id = 101; id <= 145; ++id)
        ids.push_back(id);
    for (unsigned id = 179; id <= 199; ++id)
        ids.push_back(id);
    ids.push_back(200); // the viewer's own: copies that failed
    return ids;
}

// Rows added beyond the design say so at the start of their context cell.
std::vector<unsigned> AddedIds() {
    std::vector<unsigned> ids;
    QFile file(QStringLiteral(HALVEX_SOURCE_DIR "/strings/ui_strings.tsv"));
    if (!file.open(QIODevice::ReadOnly))
        return ids;
    while (!file.atEnd()) {
        const QStringList cells = QString::fromUtf8(file.readLine()).trimmed().split('\t');
        bool number = false;
        const unsigned id = cells.constFirst().toUInt(&number);
        if (number && cells.constLast().startsWith("Added:"))
            ids.push_back(id);
    }
    return ids;
}

std::vector<unsigned> UsedIds() {
    std::vector<unsigned> ids = DesignedIds();
    const std::vector<unsigned> added = AddedIds();
    ids.insert(ids.end(), added.begin(), added.end());
    return ids;
}

// The stored text of an entry: under its own id or its neutral sub-language.
const char16_t* StoredFor(const LanguageEntry& entry, unsigned id) {
    const StoredUiTable table = BuiltInUiTable();
    const char16_t* text = FindStoredUiText(table, entry.LanguageId(), id);
    return text ? text : FindStoredUiText(table, entry.primaryLanguage, id);
}

// Runs the lookup rule on a table small enough to show every branch.
TEST(StringLookup, FallsBackToNeutralThenJapaneseThenEmpty) {
    static const StoredUiText texts[] = {
        {0x000A, 106, u"neutral es"},                     // Spanish kept only under the neutral id
        {0x0407, 101, u"de 101"},     {0x0407, 102, u""}, // an empty text counts as missing
        {0x0411, 101, u"ja 101"},     {0x0411, 102, u"ja 102"},    {0x0411, 106, u"ja 106"},
        {0x0411, 107, u"ja only"},    {0x0C0A, 106, u"es modern"},
    };
    const StoredUiTable table{texts, std::size(texts)};
    struct Case {
        uint16_t language;
        unsigned id;
        const char* expected;
    } cases[] = {
        {kGerman, 101, "de 101"},      {kGerman, 102, "ja 102"},   {kGerman, 107, "ja only"},
        {kSpanish, 106, "neutral es"}, {0x0C0A, 106, "es modern"}, {kEnglish, 106, "ja 106"},
        {kEnglish, 150, ""},           {kJapanese, 150, ""},       {0x000A, 106, "neutral es"},
        {kGerman, 0x10000 + 101, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LookupUiString(table, c.language, c.id), U(c.expected))
            << std::hex << c.language << std::dec << " id " << c.id;

    EXPECT_EQ(LookupUiString(StoredUiTable{texts, 0}, kJapanese, 101), QString());
}

TEST(BuiltInStrings, FallbacksOfTheLanguageTable) {
    EXPECT_EQ(LoadUiStringFor(kSpanish, UiStringId::kGoogleMap), "Google Map");
    EXPECT_EQ(LoadUiStringFor(kSpanish, UiStringId::kChinaMap), "Mapa de China");
    EXPECT_EQ(LoadUiStringFor(kItalian, UiStringId::kConfigTitle), "Configura");
    // Spanish and Italian lie under the neutral sub-language only.
    EXPECT_EQ(FindStoredUiText(BuiltInUiTable(), kSpanish, 106), nullptr);
    EXPECT_EQ(FindStoredUiText(BuiltInUiTable(), kItalian, 110), nullptr);

    for (unsigned id : {0u, 100u, 146u, 150u, 178u, 201u, 0x10000u + 101u}) {
        EXPECT_EQ(LoadUiStringFor(kEnglish, id), QString()) << id;
        EXPECT_EQ(LoadUiStringFor(kJapanese, id), QString()) << id;
    }
    // A language the table does not hold reads Japanese.
    EXPECT_EQ(LoadUiStringFor(0x0413, UiStringId::kWarningCaption), U("警告"));
}

TEST(BuiltInStrings, EnglishAndJapaneseTextsAreExact) {
    struct Case {
        unsigned id;
        const char* english;
        const char* japanese;
    } cases[] = {
        {101, "&About VEL...", "バージョン情報"},
        {102, "Media player encountered a error.", "メディアプレーヤーにエラーが発生しました。"},
        {103, "Windows sockets initialization failed.", // 21 trailing blanks
         "Windowsソケットの初期化に失敗しました。                     "},
        {105, "Google Map", "Google Map"},
        {126, "Save KML file:%s Failed.", "KMLファイル:%sを保存できませんでした。"},
        {132, "Folder is not exist.", "フォルダが存在しません。"},
        {135, "No seletected files. Please select some files and try this operation again.",
         "選択したファイルがありません。ファイルをいくつか選択して、この操作を再試行してください"
         "。"},
        {141, "File \"%s\" is already exist. Are you sure to overwrite it?",
         "ファイル、\"%s\"はすでに存在します。このファイルを上書きしますか?"},
        {145, "OK", "確認"},
        {179, "Open files", "ファイルの読み込み"},
        {199, "Change Speed Unit KPH/MPH.", "速度単位KPH/MPHを変更します。"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LoadUiStringFor(kEnglish, c.id), U(c.english)) << c.id;
        EXPECT_EQ(LoadUiStringFor(kJapanese, c.id), U(c.japanese)) << c.id;
    }
}

TEST(BuiltInStrings, MapListInEveryLanguage) {
    struct Case {
        const char* code;
        const char* google;
        const char* china;
    } cases[] = {
        {"ENG", "Google Map", "China Map"},           {"CHS", "谷歌地图", "中国地图"},
        {"CHT", "Google 地圖", "中國地圖"},           {"ESP", "Google Map", "Mapa de China"},
        {"RUS", "Google Map", "China Map"},           {"POR", "Google Map", "Mapa da China"},
        {"JPN", "Google Map", "中国のマップ"},        {"GER", "Google-Karte", "China-Karte"},
        {"FRA", "Carte Google", "Carte de la Chine"}, {"KOR", "Google 맵", "중국 지도"},
        {"ITA", "Google Mappa", "Mappa della Cina"},  {"LAT", "Google Map", "China Map"},
        {"POL", "Google Mapa", "Mapa Chin"},          {"ROM", "Hartă Google", "Hartă China"},
        {"SLV", "GoogleMapa", "Mapa Číny"},           {"UKR", "Карта Google", "Карта Китаю"},
    };
    for (const Case& c : cases) {
        const int index = FindLanguageCode(c.code);
        ASSERT_GE(index, 0) << c.code;
        const uint16_t language = LanguageTable()[index].LanguageId();
        EXPECT_EQ(LoadUiStringFor(language, UiStringId::kGoogleMap), U(c.google)) << c.code;
        EXPECT_EQ(LoadUiStringFor(language, UiStringId::kChinaMap), U(c.china)) << c.code;
    }
}

// Every language holds its own text for every id, and a text the caller
// formats keeps exactly the one "%s" of the English text and no other "%".
TEST(BuiltInStrings, EveryIdInEveryLanguage) {
    ASSERT_EQ(DesignedIds().size(), 67u);
    const std::vector<unsigned> ids = UsedIds();
    for (const LanguageEntry& entry : LanguageTable()) {
        for (unsigned id : ids) {
            const char16_t* stored = StoredFor(entry, id);
            ASSERT_NE(stored, nullptr) << entry.code << " " << id;
            const QString text = QString::fromUtf16(stored);
            EXPECT_FALSE(text.trimmed().isEmpty()) << entry.code << " " << id;
            const bool formatted = LoadUiStringFor(kEnglish, id).contains("%s");
            EXPECT_EQ(text.count('%'), formatted ? 1 : 0) << entry.code << " " << id;
            EXPECT_EQ(text.count("%s"), formatted ? 1 : 0) << entry.code << " " << id;
        }
        for (unsigned id = 146; id <= 178; ++id)
            EXPECT_EQ(StoredFor(entry, id), nullptr) << entry.code << " " << id;
    }
    // The table holds nothing beyond the 16 languages' designed and added texts.
    EXPECT_EQ(BuiltInUiTable().count, 16u * ids.size());
}

TEST(BuiltInStrings, TranslationsDifferFromEnglishWhereExpected) {
    // A column pasted from English by mistake shows up here: these ids read
    // differently in every other language.
    for (const LanguageEntry& entry : LanguageTable()) {
        if (entry.LanguageId() == kEnglish)
            continue;
        for (unsigned id : {104u, 108u, 129u, 133u, 136u, 143u, 191u})
            EXPECT_NE(LoadUiStringFor(entry.LanguageId(), id), LoadUiStringFor(kEnglish, id))
                << entry.code << " " << id;
    }
}

// Runs with the process's settings object made afresh in an empty folder, and
// puts the working directory back afterwards.
class FreshSettingsFolder {
  public:
    FreshSettingsFolder() : previous_(QDir::currentPath()) {
        ok_ = dir_.isValid() && QDir::setCurrent(dir_.path());
        AppSettings::DiscardInstance();
    }
    ~FreshSettingsFolder() {
        AppSettings::DiscardInstance();
        QDir::setCurrent(previous_);
    }
    bool ok() const { return ok_; }

  private:
    QString previous_;
    QTemporaryDir dir_;
    bool ok_ = false;
};

TEST(LoadUiString, FollowsTheLanguageChosenInTheSettings) {
    FreshSettingsFolder folder;
    ASSERT_TRUE(folder.ok());

    EXPECT_EQ(LoadUiString(UiStringId::kWarningCaption), "Warning");
    AppSettings::Instance().SetLanguage(FindLanguageCode("GER"));
    EXPECT_EQ(LoadUiString(UiStringId::kWarningCaption), "Warnung");
    AppSettings::Instance().SetLanguage(FindLanguageCode("ESP"));
    EXPECT_EQ(LoadUiString(UiStringId::kChinaMap), "Mapa de China");
    AppSettings::Instance().SetLanguage(FindLanguageCode("JPN"));
    EXPECT_EQ(LoadUiString(UiStringId::kChinaMap), U("中国のマップ"));
    EXPECT_EQ(LoadUiString(150), QString());
}

TEST(SystemUiLanguage, LocaleMapsToTableLanguage) {
    struct Case {
        const char* locale;
        uint16_t language;
    } cases[] = {
        {"en_US", 0x0409}, {"en_GB", 0x0409}, {"de_AT", 0x0407}, {"zh_CN", 0x0804},
        {"zh_SG", 0x0804}, {"zh_TW", 0x0404}, {"zh_HK", 0x0404}, {"es_MX", 0x040A},
        {"pt_BR", 0x0816}, {"ja_JP", 0x0411}, {"ko_KR", 0x0412}, {"lv_LV", 0x0426},
        {"sk_SK", 0x041B}, {"uk_UA", 0x0422}, {"ro_RO", 0x0418}, {"nl_NL", 0x0409},
        {"C", 0x0409},
    };
    for (const Case& c : cases)
        EXPECT_EQ(UiLanguageIdForLocale(QLocale(c.locale)), c.language) << c.locale;
    EXPECT_EQ(UiLanguageIdForLocale(
                  QLocale(QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::China)),
              0x0404);
}

} // namespace
