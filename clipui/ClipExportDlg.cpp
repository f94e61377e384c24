#include "clipui/ClipExportDlg.h"

#include "clip/ClipBundleFiles.h"
#include "platform/widgets/MessageBox.h"
#include "recordings/KmlExport.h"
#include "recordings/LocalTimeText.h"
#include "settings/AppSettings.h"
#include "settings/PrivacyZones.h"
#include "strings/UiStrings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

QString RemainingText(double seconds) {
    const long s = std::max(0L, std::lround(seconds));
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QChar('0'));
}

namespace {

// The progress bar's steps, as the work notes them.
constexpr qint64 kProgressSteps = 1000;

} // namespace

ClipExportDlg::ClipExportDlg(QWidget* parent, std::vector<ClipSource> sources, int64_t fromMs,
                             int64_t toMs, const QString& outputPath)
    : QDialog(parent), sources_(std::move(sources)), fromMs_(fromMs), toMs_(toMs) {
    setWindowTitle(LoadUiString(UiStringId::kExportClipTitle));
    auto* column = new QVBoxLayout(this);
    column->addWidget(new QLabel(
        LoadUiStringFilled(UiStringId::kClipSpan,
                           FormatLocalTime(fromMs / 1000, "%Y-%m-%d %H:%M:%S") + " \u2013 " +
                               FormatLocalTime(toMs / 1000, "%H:%M:%S") +
                               QStringLiteral(" (%1 s)").arg((toMs - fromMs) / 1000.0, 0, 'f', 1)),
        this));

    auto* form = new QFormLayout;
    layout_ = new QComboBox(this);
    for (unsigned id : {UiStringId::kClipLayoutFront, UiStringId::kClipLayoutRear,
                        UiStringId::kClipLayoutSideBySide, UiStringId::kClipLayoutInset,
                        UiStringId::kClipLayoutAbove})
        layout_->addItem(LoadUiString(id));
    form->addRow(LoadUiString(UiStringId::kClipLayout), layout_);
    corner_ = new QComboBox(this);
    for (unsigned id : {UiStringId::kClipCornerTopLeft, UiStringId::kClipCornerTopRight,
                        UiStringId::kClipCornerBottomLeft, UiStringId::kClipCornerBottomRight})
        corner_->addItem(LoadUiString(id));
    corner_->setCurrentIndex(int(ClipCorner::TopRight));
    form->addRow(LoadUiString(UiStringId::kClipInsetCorner), corner_);
    sound_ = new QCheckBox(LoadUiString(UiStringId::kClipSound), this);
    sound_->setChecked(true);
    form->addRow(QString(), sound_);
    column->addLayout(form);

    column->addWidget(new QLabel(LoadUiString(UiStringId::kClipFigures), this));
    auto* figureRow = new QHBoxLayout;
    for (unsigned id : {UiStringId::kClipFigureTime, UiStringId::kClipFigureSpeed,
                        UiStringId::kClipFigurePosition, UiStringId::kClipFigureHeading,
                        UiStringId::kClipFigureG, UiStringId::kClipFigureMap}) {
        auto* box = new QCheckBox(LoadUiString(id), this);
        box->setChecked(id == UiStringId::kClipFigureTime);
        figures_.push_back(box);
        figureRow->addWidget(box);
    }
    column->addLayout(figureRow);
    fastNote_ = new QLabel(LoadUiString(UiStringId::kClipFastPathNote), this);
    fastNote_->setWordWrap(true);
    column->addWidget(fastNote_);

    auto* zonesLabel = new QLabel(LoadUiString(UiStringId::kClipPrivacyZones), this);
    zonesLabel->setWordWrap(true);
    column->addWidget(zonesLabel);
    zones_ = new QPlainTextEdit(this);
    zones_->setObjectName("privacyZones");
    // A file whose zones do not all read shows its lines as they stand, the
    // faulty one among them, and says why when the dialog opens.
    std::vector<PrivacyZone> stored;
    QStringList zoneLines;
    if (ReadPrivacyZones(AppSettings::Instance(), &stored, &zonesError_)) {
        for (const PrivacyZone& z : stored)
            zoneLines << PrivacyZoneText(z);
    } else {
        zoneLines = PrivacyZoneLines(AppSettings::Instance().Path());
    }
    zones_->setPlainText(zoneLines.join('\n'));
    zones_->setFixedHeight(zones_->fontMetrics().lineSpacing() * 4 + 12);
    column->addWidget(zones_);
    applyZones_ = new QCheckBox(LoadUiString(UiStringId::kClipApplyZones), this);
    applyZones_->setObjectName("applyZones");
    applyZones_->setChecked(true);
    column->addWidget(applyZones_);

    auto* outRow = new QHBoxLayout;
    output_ = new QLineEdit(outputPath, this);
    output_->setObjectName("outputPath");
    auto* browse = new QPushButton(LoadUiString(UiStringId::kClipBrowse), this);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen = QFileDialog::getSaveFileName(
            this, LoadUiString(UiStringId::kClipOutputFile), output_->text(), "MP4 (*.mp4)");
        if (!chosen.isEmpty())
            output_->setText(ClipOutputPath(chosen));
    });
    outRow->addWidget(new QLabel(LoadUiString(UiStringId::kClipOutputFile), this));
    outRow->addWidget(output_, 1);
    outRow->addWidget(browse);
    column->addLayout(outRow);

    auto* progressRow = new QHBoxLayout;
    progress_ = new QProgressBar(this);
    progress_->setRange(0, 1000);
    progress_->setValue(0);
    remaining_ = new QLabel(this);
    remaining_->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")));
    progressRow->addWidget(progress_, 1);
    progressRow->addWidget(remaining_);
    column->addLayout(progressRow);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    export_ = new QPushButton(LoadUiString(UiStringId::kClipExportButton), this);
    export_->setDefault(true);
    cancel_ = new QPushButton(LoadUiString(UiStringId::kCancelButton), this);
    buttons->addWidget(export_);
    buttons->addWidget(cancel_);
    column->addLayout(buttons);
    connect(export_, &QPushButton::clicked, this, &ClipExportDlg::Start);
    connect(cancel_, &QPushButton::clicked, this, &ClipExportDlg::reject);
    connect(layout_, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &ClipExportDlg::UpdateChoices);
    for (QCheckBox* box : figures_)
        connect(box, &QCheckBox::toggled, this, &ClipExportDlg::UpdateChoices);
    UpdateChoices();
    resize(std::max(sizeHint().width(), 640), sizeHint().height());
}

// A running export is cancelled and puts back what it replaced before the
// dialog goes.
ClipExportDlg::~ClipExportDlg() {
    job_.Stop();
}

ClipOptions ClipExportDlg::Options() const {
    ClipOptions o;
    o.layout = ClipLayout(layout_->currentIndex());
    o.insetCorner = ClipCorner(corner_->currentIndex());
    o.sound = sound_->isChecked();
    const uint32_t bits[] = {kOverlayTime,    kOverlaySpeed,   kOverlayPosition,
                             kOverlayHeading, kOverlayGSensor, kOverlayMap};
    for (size_t i = 0; i < figures_.size(); ++i) {
        if (figures_[i]->isChecked())
            o.overlays |= bits[i];
    }
    o.speedInMph = AppSettings::Instance().ReadSpeedInMiles();
    return o;
}

void ClipExportDlg::UpdateChoices() {
    const ClipOptions o = Options();
    corner_->setEnabled(o.layout == ClipLayout::PictureInPicture);
    fastNote_->setVisible(IsFastPath(o));
}

void ClipExportDlg::Start() {
    if (Running())
        return;
    std::vector<PrivacyZone> zones;
    for (const QString& line : zones_->toPlainText().split('\n', Qt::SkipEmptyParts)) {
        if (line.trimmed().isEmpty())
            continue;
        PrivacyZone zone;
        QString why;
        // A zone that does not read would leave the place it names in the clip.
        if (!PrivacyZoneFromText(line, &zone, &why)) {
            ShowMessageBox(
                this, LoadUiStringFilled(UiStringId::kClipBadZone, line.trimmed() + ": " + why),
                LoadUiString(UiStringId::kExportClipTitle), MbButtons::Ok, MbIcon::Warning);
            return;
        }
        zones.push_back(zone);
    }
    // What the box shows is what the settings file holds from now on.
    WritePrivacyZones(AppSettings::Instance(), zones);
    zonesError_.clear();
    if (!applyZones_->isChecked())
        zones.clear();
    zonesApplied_ = !zones.empty();

    const QString typed = output_->text().trimmed();
    QString why;
    if (!CheckClipOutputName(typed, &why)) {
        ShowMessageBox(this, LoadUiStringFilled(UiStringId::kClipFailed, why),
                       LoadUiString(UiStringId::kExportClipTitle), MbButtons::Ok, MbIcon::Warning);
        return;
    }
    // Files of an earlier export (or any other) are replaced only when the
    // user says so, knowing which.
    const QStringList existing = ExistingBundleFiles(ClipOutputPath(typed));
    if (!existing.isEmpty() &&
        ShowMessageBox(this,
                       LoadUiStringFilled(UiStringId::kClipReplaceQuestion, existing.join('\n')),
                       LoadUiString(UiStringId::kExportClipTitle), MbButtons::OkCancel,
                       MbIcon::Question) != IDOK)
        return;

    ClipRequest request;
    request.sources = sources_;
    request.fromMs = fromMs_;
    request.toMs = toMs_;
    request.options = Options();
    request.zones = zones;
    request.outputPath = ClipOutputPath(typed);
    request.overwrite = !existing.isEmpty();
    output_->setText(request.outputPath);
    // The default folder (the exports' folder in the documents) may not exist yet.
    CreateFolderPath(QFileInfo(request.outputPath).absolutePath());

    for (QWidget* w : findChildren<QWidget*>()) {
        if (w != cancel_ && w != progress_ && w != remaining_ && !qobject_cast<QLabel*>(w))
            w->setEnabled(false);
    }
    clock_.start();
    job_.Start(
        [request](JobControl& control) {
            ClipOutcome outcome;
            ExportClip(
                request,
                [&control](double done) {
                    control.Report(std::llround(done * kProgressSteps), kProgressSteps);
                    return !control.Cancelled();
                },
                &outcome);
            return outcome;
        },
        [this](ClipOutcome outcome) { OnFinished(outcome); },
        [this](qint64 done, qint64 total) { OnProgress(double(done) / double(total)); });
}

void ClipExportDlg::OnProgress(double done) {
    progress_->setValue(int(done * 1000));
    const double elapsed = clock_.elapsed() / 1000.0;
    if (done > 0.02)
        remaining_->setText(LoadUiStringFilled(UiStringId::kClipRemaining,
                                               RemainingText(elapsed * (1 - done) / done)));
}

void ClipExportDlg::OnFinished(const ClipOutcome& outcome) {
    for (QWidget* w : findChildren<QWidget*>())
        w->setEnabled(true);
    UpdateChoices();
    progress_->setValue(outcome.error.isEmpty() ? 1000 : 0);
    remaining_->clear();
    if (outcome.cancelled) {
        ShowMessageBox(this, LoadUiString(UiStringId::kClipCancelled),
                       LoadUiString(UiStringId::kExportClipTitle), MbButtons::Ok,
                       MbIcon::Information);
        return;
    }
    if (!outcome.error.isEmpty()) {
        ShowMessageBox(this, LoadUiStringFilled(UiStringId::kClipFailed, outcome.error),
                       LoadUiString(UiStringId::kExportClipTitle), MbButtons::Ok, MbIcon::Warning);
        return;
    }
    written_ = outcome.files;
    // What the clip holds short of the marks follows the names.
    QString written = outcome.files.join('\n');
    if (zonesApplied_)
        written += "\n" + LoadUiStringFilled(UiStringId::kClipPositionsLeftOut,
                                             QString::number(outcome.positionsLeftOut));
    if (!outcome.notes.isEmpty())
        written += "\n\n" + outcome.notes.join('\n');
    ShowMessageBox(this, LoadUiStringFilled(UiStringId::kClipDone, written),
                   LoadUiString(UiStringId::kExportClipTitle), MbButtons::Ok,
                   outcome.notes.isEmpty() ? MbIcon::Information : MbIcon::Warning);
    accept();
}

void ClipExportDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (zonesError_.isEmpty())
        return;
    const QString why = zonesError_;
    zonesError_.clear();
    // After the dialog is up, so the box stands over it.
    QMetaObject::invokeMethod(
        this,
        [this, why] {
            ShowMessageBox(this, LoadUiStringFilled(UiStringId::kClipBadZone, why),
                           LoadUiString(UiStringId::kExportClipTitle), MbButtons::Ok,
                           MbIcon::Warning);
        },
        Qt::QueuedConnection);
}

void ClipExportDlg::reject() {
    // Cancel stops a running export; the dialog closes when it has.
    if (Running()) {
        job_.Cancel();
        return;
    }
    QDialog::reject();
}
