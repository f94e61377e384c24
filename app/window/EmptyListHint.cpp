#include "app/window/EmptyListHint.h"

#include "strings/UiStrings.h"

#include <QAbstractItemView>
#include <QVBoxLayout>

EmptyListHint::EmptyListHint(QWidget* frame, QAbstractItemView* fileList)
    : QLabel(frame), list_(fileList) {
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setStyleSheet("color: rgb(170, 170, 170); background: transparent;");
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.2);
    setFont(f);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(this);
    Retext();
    QAbstractItemModel* model = list_->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &EmptyListHint::Follow);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &EmptyListHint::Follow);
    connect(model, &QAbstractItemModel::modelReset, this, &EmptyListHint::Follow);
    Follow();
}

void EmptyListHint::Retext() {
    setText(LoadUiString(UiStringId::kOpenFolderHint));
}

void EmptyListHint::Follow() {
    setVisible(list_->model()->rowCount() == 0);
}
