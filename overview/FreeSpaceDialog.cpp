#include "overview/FreeSpaceDialog.h"

#include "presenter/FigureTexts.h"
#include "strings/UiStrings.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

FreeSpaceDialog::FreeSpaceDialog(const QStringList& shown, uint64_t bytes, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(LoadUiString(UiStringId::kLibraryFreeSpace));
    resize(640, 420);
    auto* layout = new QVBoxLayout(this);
    auto* question = new QLabel(
        LoadUiStringFilled(UiStringId::kLibraryFreeSpaceQuestion, FigureTexts::Bytes(bytes)), this);
    question->setWordWrap(true);
    layout->addWidget(question);
    files_ = new QPlainTextEdit(shown.join(QLatin1Char('\n')), this);
    files_->setReadOnly(true);
    files_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(files_, 1);
    auto* buttons = new QDialogButtonBox(this);
    delete_ = buttons->addButton(LoadUiString(UiStringId::kLibraryDeleteButton),
                                 QDialogButtonBox::DestructiveRole);
    cancel_ =
        buttons->addButton(LoadUiString(UiStringId::kCancelButton), QDialogButtonBox::RejectRole);
    // Enter alone does not delete.
    cancel_->setDefault(true);
    layout->addWidget(buttons);
    connect(delete_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
}
