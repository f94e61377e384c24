// No text of the configuration dialog is cut, in any of the 16 languages:
// its template is measured in the dialog's own font.
#include "dialogs/CKesConfigDlg.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"
#include "tests/support/core/ScratchSettings.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <gtest/gtest.h>

namespace {

class ConfigDialogTextsFitTest : public ScratchSettingsTest {};

// Room for the label of a push button: its contents area.
int ButtonRoom(const QPushButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
}

// Room for the shown item of a combo box: its edit field.
int ComboRoom(const QComboBox* combo) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.editable = combo->isEditable();
    return combo->style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
        .width();
}

int TextWidth(const QWidget* w, QString text) {
    return w->fontMetrics().horizontalAdvance(text.remove('&'));
}

TEST_F(ConfigDialogTextsFitTest, EveryButtonAndListTextFitsInEveryLanguage) {
    for (int language = 0; language < kLanguageCount; ++language) {
        AppSettings::Instance().SetLanguage(language);
        QWidget owner;
        CKesConfigDlg dlg(&owner);
        dlg.show();
        QCoreApplication::processEvents();
        const char* code = LanguageTable()[size_t(language)].code;
        const QList<QPushButton*> buttons = dlg.findChildren<QPushButton*>();
        ASSERT_EQ(buttons.size(), 5);
        for (const QPushButton* button : buttons)
            EXPECT_LE(TextWidth(button, button->text()), ButtonRoom(button))
                << code << " \"" << button->text().toStdString() << "\"";
        for (const QComboBox* combo : {dlg.mapList, dlg.languageList})
            for (int i = 0; i < combo->count(); ++i)
                EXPECT_LE(TextWidth(combo, combo->itemText(i)), ComboRoom(combo))
                    << code << " \"" << combo->itemText(i).toStdString() << "\"";
    }
}

} // namespace
