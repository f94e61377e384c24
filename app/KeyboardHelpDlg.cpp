#include "app/KeyboardHelpDlg.h"

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
    {"Space", 213},
    {"\u2190  \u2192", 214},
    {"Shift+\u2190  Shift+\u2192", 215},
    {"Ctrl+\u2190  Ctrl+\u2192", 226},
    {"\u2191  \u2193", 216},
    {"N  P", 217},
    {"+  \u2212", 218},
    {"M", 219},
    {"F  F11", 220},
    {"Esc", 221},
    {"Ctrl+O", 222},
    {"Del", 223},
    {"Ctrl+E", 224},
    {"Ctrl+,", 210},
    {"F1", 225},
};

} // namespace

KeyboardHelpDlg::KeyboardHelpDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(LoadUiString(211));
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
    buttons->button(QDialogButtonBox::Ok)->setText(LoadUiString(107));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(buttons, row, 0, 1, 2);
}
