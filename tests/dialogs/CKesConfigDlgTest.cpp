#include "dialogs/CKesConfigDlg.h"
#include "platform/IniFile.h"
#include "platform/WindowMessages.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "strings/UiStrings.h"
#include "tests/support/core/ScratchSettings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <vector>

namespace {

// The main window's part: it keeps the messages the dialog posts to it.
class Owner : public QWidget {
  public:
    std::vector<std::pair<unsigned, quintptr>> messages;

  protected:
    bool event(QEvent* e) override {
        if (e->type() == WindowMessageEvent::Type()) {
            auto* m = static_cast<WindowMessageEvent*>(e);
            messages.emplace_back(m->message, m->wParam);
            return true;
        }
        return QWidget::event(e);
    }
};

// A settings file of its own in a scratch working directory.
class ConfigDialogTest : public ScratchSettingsTest {
  protected:
    void Settings(const QString& language, int map) {
        IniFile::WriteString(Ini(), "UI", "LANGID", language);
        IniFile::WriteString(Ini(), "UI", "MAP", QString::number(map));
        AppSettings::DiscardInstance();
    }
    std::vector<std::pair<unsigned, quintptr>> Posted() {
        QCoreApplication::processEvents();
        auto seen = owner_.messages;
        owner_.messages.clear();
        return seen;
    }

    Owner owner_;
};

using Messages = std::vector<std::pair<unsigned, quintptr>>;

TEST_F(ConfigDialogTest, OpensInTheStoredLanguageWithTheStoredMapClamped) {
    Settings("FRA", 7);
    CKesConfigDlg dlg(&owner_);
    const uint16_t french = LanguageTable()[FindLanguageCode("FRA")].LanguageId();
    EXPECT_EQ(dlg.languageList->currentText(),
              QString::fromUtf8(LanguageTable()[FindLanguageCode("FRA")].name));
    EXPECT_EQ(dlg.languageList->currentIndex(), FindLanguageCode("FRA"));
    EXPECT_EQ(dlg.languageList->count(), kLanguageCount);
    EXPECT_EQ(dlg.windowTitle(), LoadUiStringFor(french, UiStringId::kConfigTitle));
    EXPECT_EQ(dlg.mapList->currentIndex(), 1) << "7 is clamped to the second page";
    EXPECT_EQ(dlg.mapList->itemText(1), LoadUiStringFor(french, UiStringId::kChinaMap));
    const auto boxes = dlg.findChildren<QGroupBox*>();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_EQ(boxes[0]->title(), LoadUiStringFor(french, UiStringId::kSelectMap));
    EXPECT_EQ(boxes[1]->title(), LoadUiStringFor(french, UiStringId::kSelectLanguage));
    if (const QByteArray path = qgetenv("HALVEX_SCREENSHOT"); !path.isEmpty())
        dlg.grab().save(QString::fromLocal8Bit(path));
}

TEST_F(ConfigDialogTest, LanguageApplyWritesRetextsAndKeepsTheMapChoice) {
    Settings("ENG", 1);
    CKesConfigDlg dlg(&owner_);
    dlg.languageList->setCurrentIndex(kJapaneseIndex);
    dlg.OnLanguageApply();
    EXPECT_EQ(IniFile::ReadString(Ini(), "UI", "LANGID", ""), "JPN");
    EXPECT_EQ(dlg.windowTitle(), LoadUiStringFor(0x0411, UiStringId::kConfigTitle));
    EXPECT_EQ(dlg.mapList->currentIndex(), 1);
    EXPECT_EQ(Posted(), (Messages{{WM_LANGUAGE_CHANGED, quintptr(kJapaneseIndex)}}));
    EXPECT_EQ(LoadUiString(UiStringId::kOkButton), LoadUiStringFor(0x0411, UiStringId::kOkButton))
        << "texts loaded later follow";
}

TEST_F(ConfigDialogTest, MapApplyThenCancelKeepsTheNewPage) {
    Settings("ENG", 0);
    {
        CKesConfigDlg dlg(&owner_);
        dlg.mapList->setCurrentIndex(1);
        dlg.OnMapApply();
        dlg.reject();
        EXPECT_EQ(dlg.MapChoice(), MAP_CHINA);
    }
    EXPECT_EQ(IniFile::ReadInt(Ini(), "UI", "MAP", -1), 1);
    EXPECT_EQ(AppSettings::Instance().MapChoice(), MAP_CHINA);
    EXPECT_EQ(Posted(), (Messages{{WM_MAP_TYPE_CHANGED, quintptr(MAP_CHINA)}}));
}

TEST_F(ConfigDialogTest, OkAppliesBothAndTellsTheOwner) {
    Settings("GER", 1);
    CKesConfigDlg dlg(&owner_);
    const int german = FindLanguageCode("GER");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.MapChoice(), MAP_CHINA);
    EXPECT_EQ(IniFile::ReadString(Ini(), "UI", "LANGID", ""), "GER");
    EXPECT_EQ(IniFile::ReadInt(Ini(), "UI", "MAP", -1), 1);
    EXPECT_EQ(Posted(), (Messages{{WM_MAP_TYPE_CHANGED, quintptr(MAP_CHINA)},
                                  {WM_LANGUAGE_CHANGED, quintptr(german)}}));
}

} // namespace
