#include "dialogs/CFolderDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QUrl>

CFolderDialog::CFolderDialog(const QString& title, const QString& initialFolder, QWidget* owner,
                             unsigned)
    : title_(title), initial_(initialFolder), owner_(owner) {}

int CFolderDialog::DoModal() {
    QFileDialog dialog(owner_, title_);
    dialog.setObjectName("CFolderDialog");
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // Qt's own dialog behaves the same under every desktop (and in tests).
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!initial_.isEmpty()) {
        const QDir folder(initial_);
        QDir parent = folder;
        // Open on the folder's parent with the folder itself selected.
        if (parent.cdUp() && !folder.isRoot()) {
            dialog.setDirectory(parent);
            dialog.selectFile(folder.absolutePath());
        } else {
            dialog.setDirectory(folder);
        }
    }
    if (dialog.exec() != QDialog::Accepted)
        return 2;
    const QList<QUrl> urls = dialog.selectedUrls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return -1;
    selected_ = QDir::toNativeSeparators(urls.first().toLocalFile());
    return 1;
}
