#include "dialogs/PrivacyZonesDlg.h"

#include "platform/widgets/MessageBox.h"
#include "settings/AppSettings.h"
#include "strings/UiStrings.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

PrivacyZonesDlg::PrivacyZonesDlg(QWidget* owner) : QDialog(owner) {
    setObjectName("PrivacyZonesDlg");
    setWindowTitle(LoadUiString(UiStringId::kPrivacyZonesTitle));
    auto* column = new QVBoxLayout(this);
    table = new QTableWidget(0, 3, this);
    table->setHorizontalHeaderLabels({LoadUiString(UiStringId::kZoneLatitude),
                                      LoadUiString(UiStringId::kZoneLongitude),
                                      LoadUiString(UiStringId::kZoneRadius)});
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    column->addWidget(table, 1);

    auto* row = new QHBoxLayout;
    addButton = new QPushButton(LoadUiString(UiStringId::kZoneAdd), this);
    removeButton = new QPushButton(LoadUiString(UiStringId::kZoneRemove), this);
    row->addWidget(addButton);
    row->addWidget(removeButton);
    row->addStretch(1);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(LoadUiString(UiStringId::kOkButton), QDialogButtonBox::AcceptRole)
        ->setDefault(true);
    buttons->addButton(LoadUiString(UiStringId::kCancelButton), QDialogButtonBox::RejectRole);
    row->addWidget(buttons);
    column->addLayout(row);
    connect(buttons, &QDialogButtonBox::accepted, this, &PrivacyZonesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PrivacyZonesDlg::reject);
    connect(addButton, &QPushButton::clicked, this, [this] {
        AddRow({QString(), QString(), QStringLiteral("200")});
        table->setCurrentCell(table->rowCount() - 1, 0);
        table->editItem(table->item(table->rowCount() - 1, 0));
    });
    connect(removeButton, &QPushButton::clicked, this, [this] {
        if (table->currentRow() >= 0)
            table->removeRow(table->currentRow());
    });

    // Lines that do not all read are listed as they stand, so the faulty
    // one can be mended or removed here.
    std::vector<PrivacyZone> zones;
    if (ReadPrivacyZones(AppSettings::Instance(), &zones, &loadError_)) {
        for (const PrivacyZone& z : zones)
            AddRow(PrivacyZoneText(z).split(','));
    } else {
        for (const QString& line : PrivacyZoneLines(AppSettings::Instance().Path()))
            AddRow(line.split(','));
    }
    resize(520, 320);
}

void PrivacyZonesDlg::AddRow(const QStringList& cells) {
    const int r = table->rowCount();
    table->insertRow(r);
    // A line with more than three fields keeps the rest in its last cell,
    // where the check on OK finds it.
    for (int c = 0; c < 3; ++c)
        table->setItem(r, c,
                       new QTableWidgetItem(c < 2 ? cells.value(c).trimmed()
                                                  : cells.mid(2).join(',').trimmed()));
}

void PrivacyZonesDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (loadError_.isEmpty())
        return;
    const QString why = loadError_;
    loadError_.clear();
    QMetaObject::invokeMethod(
        this,
        [this, why] {
            ShowMessageBox(this, LoadUiStringFilled(UiStringId::kClipBadZone, why), windowTitle(),
                           MbButtons::Ok, MbIcon::Warning);
        },
        Qt::QueuedConnection);
}

void PrivacyZonesDlg::accept() {
    std::vector<PrivacyZone> zones;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < 3; ++c)
            cells << (table->item(r, c) ? table->item(r, c)->text().trimmed() : QString());
        if (cells.join(QString()).isEmpty())
            continue; // a row added and left blank
        const QString text = cells.join(',');
        PrivacyZone zone;
        QString why;
        if (!PrivacyZoneFromText(text, &zone, &why)) {
            table->setCurrentCell(r, 0);
            ShowMessageBox(this, LoadUiStringFilled(UiStringId::kClipBadZone, text + ": " + why),
                           windowTitle(), MbButtons::Ok, MbIcon::Warning);
            return;
        }
        zones.push_back(zone);
    }
    WritePrivacyZones(AppSettings::Instance(), zones);
    QDialog::accept();
}
