#include "app/window/KeyboardHelpDlg.h"

#include "strings/UiStrings.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {

// The keys as their caps show them, and what they do (string ids).
const struct {
    const char* keys;
    unsigned text;
} kHelpRows[] = {
    {"Space", UiStringId::kHelpPlayPause},
    {"\u2190  \u2192", UiStringId::kHelpSeek5s},
    {"Shift+\u2190  Shift+\u2192", UiStringId::kHelpSeek30s},
    {"Ctrl+\u2190  Ctrl+\u2192", UiStringId::kHelpSeek5sFromList},
    {"\u2191  \u2193", UiStringId::kHelpVolume},
    {"N  P", UiStringId::kHelpNextPrevious},
    {"+  \u2212", UiStringId::kHelpFasterSlower},
    {"M", UiStringId::kHelpSoundOnOff},
    {"F  F11", UiStringId::kHelpFullScreen},
    {"Esc", UiStringId::kHelpLeaveFullScreen},
    {"I", UiStringId::kHelpFrameClock},
    {"Ctrl+O", UiStringId::kHelpOpenFolder},
    {"Del", UiStringId::kHelpDeleteChecked},
    {"Ctrl+E", UiStringId::kHelpSaveKml},
    {"Ctrl+T", UiStringId::kOverviewTitle},
    {"Ctrl+,", UiStringId::kSettingsItem},
    {"[  ]", UiStringId::kHelpClipMarks},
    {"F1", UiStringId::kHelpThisHelp},
};

} // namespace

KeyboardHelpDlg::KeyboardHelpDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(LoadUiString(UiStringId::kKeyboardShortcuts));
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(24);
    int row = 0;
    for (const auto& r : kHelpRows) {
        auto* keys = new QLabel(QString::fromUtf8(r.keys), this);
        QFont bold = keys->font();
        bold.setBold(true);
        keys->setFont(bold);
        grid->addWidget(keys, row, 0);
        grid->addWidget(new QLabel(LoadUiString(r.text), this), row, 1);
        ++row;
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(LoadUiString(UiStringId::kOkButton));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(buttons, row, 0, 1, 2);
}
