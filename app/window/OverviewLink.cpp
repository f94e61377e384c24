#include "app/window/OverviewLink.h"

#include "app/playback/FileStarter.h"
#include "app/playback/PlaybackController.h"
#include "app/window/CVELDlg.h"
#include "app/window/ClipMarksHook.h"
#include "app/window/PlaybackLogic.h"
#include "library/LibraryLayout.h"
#include "overview/CardIndexOverview.h"
#include "overview/OverviewWindow.h"
#include "platform/LogCategories.h"
#include "presenter/CatalogPresenter.h"
#include "recordings/RecordingCatalog.h"

#include <QDir>
#include <QFileInfo>
#include <QShortcut>
#include <algorithm>

namespace {

constexpr int kGiveUpMs = 15000; // a moment whose recording never plays is dropped
constexpr int kRestartMs = 500;  // a start refused by the lists' guards is asked again

QString Canonical(const QString& path) {
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? path : c;
}

// The recording the players were last given, or "" when none.
QString CurrentPath(const RecordingCatalog& catalog) {
    return catalog.CurrentRecording() ? catalog.GetCurrentFilePath() : QString();
}

} // namespace

OverviewLink::OverviewLink(CVELDlg& window, CatalogPresenter& presenter, const PlayerPair& players,
                           ClipMarksHook& clipMarks)
    : QObject(&window), window_(window), clipMarks_(clipMarks) {
    auto* key = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_T), &window);
    connect(key, &QShortcut::activated, this, &OverviewLink::Open);

    connect(&window, &CVELDlg::TextsChanged, this, [this] {
        if (overview_)
            overview_->ApplyTexts();
    });
    // Started once the call that filled the lists has returned: the first
    // recording starts before the card is read.
    buildSoon_.setSingleShot(true);
    buildSoon_.setInterval(0);
    connect(&buildSoon_, &QTimer::timeout, this, &OverviewLink::StartBuild);
    presenter.OnListsFilled([self = QPointer<OverviewLink>(this)] {
        if (self)
            self->buildSoon_.start();
    });
    // The moment is sought as soon as the players report the recording's
    // time, which brings its length.
    connect(&players, &PlayerPair::TimeChanged, this, &OverviewLink::TrySeek);
    // The overview's chart follows the play position.
    connect(&players, &PlayerPair::TimeChanged, this, [this](qint64 timeMs) {
        if (overview_ && overview_->isVisible())
            overview_->ShowPlayPosition(CurrentPath(window_.Catalog()), timeMs);
    });
    connect(&players, &PlayerPair::PhaseChanged, this, &OverviewLink::TrySeek);
    restart_.setSingleShot(true);
    restart_.setInterval(kRestartMs);
    connect(&restart_, &QTimer::timeout, this, &OverviewLink::RestartPending);
}

OverviewLink::~OverviewLink() {
    build_.Stop();
}

void OverviewLink::Open() {
    if (!overview_) {
        overview_ = new OverviewWindow(&window_);
        overview_->setAttribute(Qt::WA_DeleteOnClose);
        connect(overview_, &OverviewWindow::PlayRequested, this, &OverviewLink::PlayMoment);
        connect(overview_, &OverviewWindow::ExportClipRequested, this,
                [this](const QString& path, qint64 offsetMs) {
                    clipMarks_.ExportAround(overview_, path, offsetMs);
                });
        // Recordings deleted from the library leave the lists and the index.
        connect(overview_, &OverviewWindow::LibraryChanged, this, [this] { ReopenLibrary(30); });
        // The build's end takes the progress away.
        connect(overview_, &OverviewWindow::CancelRequested, this, [this] { build_.Cancel(); });
        overview_->SetLibrary(library_);
        if (data_)
            overview_->SetData(data_);
    }
    overview_->show();
    overview_->raise();
    overview_->activateWindow();
}

void OverviewLink::ReopenLibrary(int tries) {
    const std::vector<RecordingFile>& files = window_.Catalog().Files();
    const bool stale = std::any_of(files.begin(), files.end(), [](const RecordingFile& f) {
        return !QFileInfo::exists(f.Path());
    });
    if (library_.isEmpty() || !stale)
        return;
    window_.OpenFolder(library_);
    // The lists' guard refuses an opening while a start is under way: asked
    // again until the lists no longer hold a deleted file.
    if (tries > 1)
        QTimer::singleShot(kRestartMs, this, [this, tries] { ReopenLibrary(tries - 1); });
}

void OverviewLink::ShowData(std::shared_ptr<const OverviewData> data) {
    data_ = std::move(data);
    if (overview_) {
        overview_->SetLibrary(library_);
        overview_->SetData(data_);
    }
}

void OverviewLink::StartBuild() {
    const RecordingCatalog& catalog = window_.Catalog();
    QStringList paths;
    for (size_t i = 0; i < catalog.Files().size(); ++i)
        paths << catalog.GetFilePath(int(i));
    if (paths == builtFor_ || paths.isEmpty())
        return;
    builtFor_ = paths;
    // One build at a time writes the card's cache: a cancelled one stops at
    // its next file.
    build_.Stop();
    const QString cardFolder = catalog.Files().front().root;
    auto index = std::make_shared<CardIndex>();
    // A library keeps its index inside, beside what it indexes.
    const QString cacheFolder = LibraryLayout::IsLibrary(cardFolder)
                                    ? LibraryLayout::CardIndexFolder(QDir::cleanPath(cardFolder))
                                    : CardIndex::DefaultCacheFolder();
    // The work reads the files while the window plays.
    build_.Start(
        [index, files = catalog.Files(), cacheFolder](JobControl& control) {
            QString note;
            const bool ok = index->Build(
                files, cacheFolder,
                [&control](int done, int total) {
                    control.Report(done, total);
                    return !control.Cancelled();
                },
                &note);
            if (!note.isEmpty())
                qWarning().noquote() << note;
            return ok;
        },
        [this, index, cardFolder](bool ok) {
            if (overview_)
                overview_->SetProgress(0, -1);
            library_ =
                LibraryLayout::IsLibrary(cardFolder) ? QDir::cleanPath(cardFolder) : QString();
            if (ok)
                ShowData(std::make_shared<CardIndexOverview>(index, cardFolder));
            else
                builtFor_.clear(); // cancelled: the next scan or opening tries again
        },
        [this](qint64 done, qint64 total) {
            if (overview_)
                overview_->SetProgress(int(done), int(total));
        });
}

void OverviewLink::PlayMoment(const QString& path, qint64 offsetMs) {
    PlaybackLogic* playback = window_.Playback();
    if (!playback)
        return;
    pendingPath_ = path;
    pendingOffsetMs_ = offsetMs;
    pendingSince_.start();
    restart_.stop();
    if (Canonical(CurrentPath(window_.Catalog())) != Canonical(path)) {
        const int index = window_.Catalog().IndexOfPath(path);
        if (index < 0) {
            qCDebug(lcDiag) << "overview: not listed:" << path;
            pendingPath_.clear();
            return;
        }
        playback->starter.OnFileActivate(index);
    }
    TrySeek();
}

void OverviewLink::TrySeek() {
    PlaybackLogic* playback = window_.Playback();
    if (!playback || pendingPath_.isEmpty())
        return;
    const bool current = Canonical(CurrentPath(window_.Catalog())) == Canonical(pendingPath_);
    if (current && playback->controller.SeekTo(pendingOffsetMs_)) {
        pendingPath_.clear();
        restart_.stop();
        return;
    }
    if (pendingSince_.elapsed() >= kGiveUpMs) {
        qCDebug(lcDiag) << "overview: gave up playing" << pendingPath_;
        pendingPath_.clear();
        restart_.stop();
        return;
    }
    if (!current && !restart_.isActive())
        restart_.start();
}

void OverviewLink::RestartPending() {
    PlaybackLogic* playback = window_.Playback();
    if (!playback || pendingPath_.isEmpty())
        return;
    if (Canonical(CurrentPath(window_.Catalog())) != Canonical(pendingPath_)) {
        const int index = window_.Catalog().IndexOfPath(pendingPath_);
        if (index >= 0)
            playback->starter.OnFileActivate(index);
    }
    TrySeek();
}
