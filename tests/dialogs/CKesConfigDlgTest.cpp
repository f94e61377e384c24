#include "dialogs/CKesConfigDlg.h"
#include "dialogs/PrivacyZonesDlg.h"
#include "platform/IniFile.h"
#include "platform/WindowMessages.h"
#include "platform/widgets/MessageBox.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "settings/PrivacyZones.h"
#include "strings/UiStrings.h"
#include "tests/support/core/ScratchSettings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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

// The zone list opened from the settings dialog: a faulty line from the file
// is named and listed to be mended; Add, typed cells and OK keep the list,
// every zone, in the settings file.
TEST_F(ConfigDialogTest, PrivacyZonesAreListedMendedAddedAndKept) {
    Settings("ENG", 0);
    IniFile::WriteString(Ini(), "PRIVACY", "COUNT", "2");
    IniFile::WriteString(Ini(), "PRIVACY", "ZONE1", "35.6,139.7,100");
    IniFile::WriteString(Ini(), "PRIVACY", "ZONE2", "35.7,139.8,25m");
    MessageBoxRecorder boxes;
    owner_.show();
    CKesConfigDlg dlg(&owner_);
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dlg));
    bool checked = false;
    // The list runs modally from the button's click; it is worked from here.
    QTimer::singleShot(0, &dlg, [&] {
        auto* zones = dlg.findChild<PrivacyZonesDlg*>();
        ASSERT_TRUE(zones);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(zones));
        const auto boxesShown = [&](size_t n) {
            for (int i = 0; i < 100 && boxes.calls.size() < n; ++i)
                QTest::qWait(20);
            return boxes.calls.size();
        };
        ASSERT_EQ(boxesShown(1), 1u);
        EXPECT_TRUE(boxes.calls[0].text.contains("ZONE2=35.7,139.8,25m: the radius"))
            << boxes.calls[0].text.toStdString();
        QPushButton* ok = nullptr;
        for (auto* b : zones->findChildren<QPushButton*>())
            if (b->text() == LoadUiString(UiStringId::kOkButton))
                ok = b;
        ASSERT_TRUE(ok);
        QTableWidget* table = zones->table;
        ASSERT_EQ(table->rowCount(), 2);
        EXPECT_EQ(table->item(1, 2)->text(), "25m");
        // OK with the faulty row says which and keeps the list open.
        QTest::keyClick(zones, Qt::Key_Return);
        ASSERT_EQ(boxesShown(2), 2u);
        EXPECT_TRUE(zones->isVisible());
        table->item(1, 2)->setText("25");
        QTest::mouseClick(zones->addButton, Qt::LeftButton);
        ASSERT_EQ(table->rowCount(), 3);
        for (int c = 0; c < 3; ++c)
            table->item(2, c)->setText(QStringList{"-33.9", "151.2", "80"}[c]);
        table->setCurrentCell(0, 0);
        QTest::mouseClick(zones->removeButton, Qt::LeftButton);
        ASSERT_EQ(table->rowCount(), 2);
        QTest::mouseClick(ok, Qt::LeftButton);
        checked = true;
    });
    // A list left open by a failed step is closed, so the test ends.
    QTimer::singleShot(20000, &dlg, [&] {
        if (auto* open = dlg.findChild<PrivacyZonesDlg*>())
            open->reject();
    });
    QTest::mouseClick(dlg.zonesButton, Qt::LeftButton);
    EXPECT_TRUE(checked);
    EXPECT_EQ(boxes.calls.size(), 2u);
    std::vector<PrivacyZone> zones;
    QString error;
    ASSERT_TRUE(ReadPrivacyZones(AppSettings::Instance(), &zones, &error)) << error.toStdString();
    ASSERT_EQ(zones.size(), 2u);
    EXPECT_DOUBLE_EQ(zones[0].radiusM, 25);
    EXPECT_DOUBLE_EQ(zones[1].latitude, -33.9);
    EXPECT_EQ(IniFile::ReadString(Ini(), "PRIVACY", "COUNT", ""), "2");
}

} // namespace
