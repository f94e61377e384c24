#include "app/window/ClipMarksHook.h"

#include "app/playback/PlayerPair.h"
#include "app/window/CVELDlg.h"
#include "clip/ClipSources.h"
#include "clipui/ClipExportDlg.h"
#include "clipui/ClipMarksBar.h"
#include "controls/SliderGeometry.h"
#include "platform/widgets/MessageBox.h"
#include "recordings/KmlExport.h"
#include "recordings/LocalTimeText.h"
#include "recordings/RecordingCatalog.h"
#include "strings/UiStrings.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

constexpr int64_t kEventClipReachMs = 15000; // before and after an event

} // namespace

ClipMarksHook::ClipMarksHook(CVELDlg& window, QWidget* slider, const PlayerPair& players)
    : QObject(&window), window_(window), slider_(slider), players_(players) {
    bar_ = new ClipMarksBar(slider_);
    slider_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(slider_, &QWidget::customContextMenuRequested, this, &ClipMarksHook::ShowMenu);
    // The marks move on the slider as recordings change and go when
    // nothing is shown.
    connect(&players, &PlayerPair::TimeChanged, this, &ClipMarksHook::Refresh);
    connect(&players, &PlayerPair::PhaseChanged, this, &ClipMarksHook::Refresh);
}

std::optional<int64_t> ClipMarksHook::PlayPositionMs() const {
    const RecordingFile* file = window_.Catalog().CurrentRecording();
    if (!players_.ShownPlayer() || !file || file->info.startTime == 0)
        return std::nullopt;
    return file->info.StartMs() + std::max<int64_t>(0, players_.TimeNow());
}

std::optional<int64_t> ClipMarksHook::SliderPositionMs(int x) const {
    const RecordingFile* file = window_.Catalog().CurrentRecording();
    const int64_t length = players_.LengthNow();
    if (!file || file->info.startTime == 0 || length <= 0)
        return std::nullopt;
    const QRect channel = SliderChannelRect(slider_->size(), false);
    if (channel.width() <= 0)
        return std::nullopt;
    const double share = std::clamp(double(x - channel.left()) / channel.width(), 0.0, 1.0);
    return file->info.StartMs() + std::llround(share * length);
}

void ClipMarksHook::Mark(bool start, std::optional<int64_t> atMs) {
    if (!atMs) {
        ShowMessageBox(&window_, LoadUiString(UiStringId::kNothingPlaying),
                       LoadUiString(UiStringId::kExportClipTitle), MbButtons::Ok,
                       MbIcon::Information);
        return;
    }
    (start ? start_ : end_) = atMs;
    Refresh();
}

void ClipMarksHook::ShowMenu(const QPoint& at) {
    QMenu menu(slider_);
    const std::optional<int64_t> here = SliderPositionMs(at.x());
    menu.addAction(LoadUiString(UiStringId::kClipStartsHere), this,
                   [this, here] { Mark(true, here); });
    menu.addAction(LoadUiString(UiStringId::kClipEndsHere), this,
                   [this, here] { Mark(false, here); });
    menu.addSeparator();
    menu.addAction(LoadUiString(UiStringId::kExportClipItem), this, &ClipMarksHook::Export);
    menu.exec(slider_->mapToGlobal(at));
}

void ClipMarksHook::Export() {
    if (!start_ || !end_ || *start_ == *end_) {
        ShowMessageBox(&window_, LoadUiString(UiStringId::kClipNoMarks),
                       LoadUiString(UiStringId::kExportClipTitle), MbButtons::Ok,
                       MbIcon::Information);
        return;
    }
    const RecordingFile* file = window_.Catalog().CurrentRecording();
    ExportSpan(&window_, file ? file->fileName : QString(), std::min(*start_, *end_),
               std::max(*start_, *end_));
}

void ClipMarksHook::ExportAround(QWidget* parent, const QString& path, int64_t offsetMs) {
    const RecordingCatalog& catalog = window_.Catalog();
    const int index = catalog.IndexOfPath(path);
    const std::vector<ClipSource> sources = ClipSourcesOfCatalog(catalog);
    const std::optional<std::pair<int64_t, int64_t>> span =
        index < 0 ? std::nullopt
                  : SpanAround(sources, catalog.Files()[size_t(index)].info.StartMs() + offsetMs,
                               kEventClipReachMs, kEventClipReachMs);
    if (!span) {
        ShowMessageBox(parent, LoadUiString(UiStringId::kClipMomentNotListed),
                       LoadUiString(UiStringId::kExportClipTitle), MbButtons::Ok,
                       MbIcon::Information);
        return;
    }
    ExportSpan(parent, catalog.Files()[size_t(index)].fileName, span->first, span->second);
}

void ClipMarksHook::ExportSpan(QWidget* parent, const QString& fileName, int64_t fromMs,
                               int64_t toMs) {
    const QString base =
        fileName.isEmpty() ? QString("clip") : QFileInfo(fileName).completeBaseName();
    const QString name =
        base + "_CLIP" + FormatLocalTime(fromMs / 1000, "_%Y_%m_%d_%H-%M-%S") + ".mp4";
    ClipExportDlg dialog(parent, ClipSourcesOfCatalog(window_.Catalog()), fromMs, toMs,
                         QDir(KmlFolder()).filePath(name));
    dialog.exec();
}

void ClipMarksHook::Refresh() {
    const RecordingFile* file = window_.Catalog().CurrentRecording();
    const double length = double(players_.State().lengthMs);
    if (!players_.ShownPlayer() || !file || length <= 0 || (!start_ && !end_)) {
        bar_->SetMarks(std::nullopt, std::nullopt);
        return;
    }
    const double begin = double(file->info.StartMs());
    const auto share = [&](std::optional<int64_t> ms) -> std::optional<double> {
        if (!ms)
            return std::nullopt;
        return (double(*ms) - begin) / length;
    };
    bar_->SetMarks(share(start_), share(end_));
}
