#include "app/window/CAboutDlg.h"

#include "strings/UiStrings.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(LoadUiString(UiStringId::kAboutVel));
    auto* grid = new QGridLayout(this);
    auto* icon = new QLabel(this);
    icon->setPixmap(windowIcon().pixmap(32, 32));
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(new QLabel("Halvex", this), 0, 1);
    grid->addWidget(new QLabel("バージョン", this), 0, 2);
    grid->addWidget(new QLabel("Ostrel-Halvex Zarn", this), 1, 1);
    grid->addWidget(new QLabel("Version 1.28", this), 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    grid->addWidget(buttons, 2, 0, 1, 3);
}
