#include "dialogs/CSnapshotDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace {

const QString kJpegFilter = QStringLiteral("Jpeg File(*.jpg)");
const QString kPngFilter = QStringLiteral("Png File(*.png)");

// A name typed without extension takes the one of the type chosen at the
// moment the dialog is accepted, whatever way the type was chosen.
class SnapshotFileDialog : public QFileDialog {
  public:
    using QFileDialog::QFileDialog;

  protected:
    void accept() override {
        setDefaultSuffix(selectedNameFilter() == kPngFilter ? "png" : "jpg");
        QFileDialog::accept();
    }
};

} // namespace

CSnapshotDialog::CSnapshotDialog(QWidget* owner) : owner_(owner) {}

int CSnapshotDialog::DoModal() {
    SnapshotFileDialog dialog(owner_);
    dialog.setObjectName("CSnapshotDialog");
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters({kJpegFilter, kPngFilter});
    dialog.setDefaultSuffix("jpg");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return 2;
    path_ = QDir::toNativeSeparators(dialog.selectedFiles().first());
    return 1;
}
