// A library opened in the real main window as a card is: the recordings of
// its day folders in the lists, the overview answering from the card index
// kept inside the library, and a place found there played by a click.
#if HALVEX_HAVE_SYNTH
#include "MainWindowCard.h"
#include "PlaybackHarness.h"
#include "app/window/OverviewLink.h"
#include "app/window/PlaybackLogic.h"
#include "cardindex/CardIndex.h"
#include "cardindex/IndexCache.h"
#include "library/CardImport.h"
#include "library/LibraryIndex.h"
#include "library/LibraryLayout.h"
#include "library/LibraryPrune.h"
#include "overview/DayTotals.h"
#include "overview/DrivingCalendar.h"
#include "overview/FreeSpaceDialog.h"
#include "overview/OverviewWindow.h"
#include "overview/PlaceListModel.h"
#include "player/CVlcPlayer.h"
#include "presenter/FigureTexts.h"
#include "recordings/FolderScan.h"
#include "recordings/RecordingCatalog.h"
#include "tools/synth/TripsCard.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

class LibraryWindowTest : public ShownWindowTest {
  protected:
    void SetUp() override {
        ShownWindowTest::SetUp();
        // The viewer's own cache of cards, to see that a library's index
        // is not kept there.
        savedCache_ = qgetenv("XDG_CACHE_HOME");
        qputenv("XDG_CACHE_HOME", cache_.path().toUtf8());
    }
    void TearDown() override {
        qputenv("XDG_CACHE_HOME", savedCache_);
        ShownWindowTest::TearDown();
    }

    CVlcPlayer* Front() const { return dlg_->Playback()->Players().Front(); }
    QString Playing() const {
        return QFileInfo(QString::fromUtf8(Front()->MediaPath())).canonicalFilePath();
    }

    // The trips card imported into a fresh library.
    void ImportTripsCard() {
        QString error;
        ASSERT_TRUE(synth::WriteTripsCard(card_.path(), &error)) << error.toStdString();
        library_ = root_.path() + "/Library";
        ImportRequest request;
        request.card = card_.path();
        request.library = library_;
        const ImportSummary summary = ImportCard(request, {}, {});
        ASSERT_TRUE(summary.Complete());
        ASSERT_TRUE(LibraryLayout::IsLibrary(library_));
    }

    // The library open in the main window and its overview shown.
    void OpenOverview() {
        ImportTripsCard();
        if (HasFatalFailure())
            return;
        dlg_->OpenFolder(library_);
        ASSERT_TRUE(WaitUntil([&] { return Front()->State() == libvlc_Playing; }, 15000));
        link_ = dlg_->Overview();
        ASSERT_TRUE(WaitUntil([&] { return link_->Data() != nullptr; }, 60000));
        QTest::keyClick(dlg_->windowHandle(), Qt::Key_T, Qt::ControlModifier);
        ASSERT_TRUE(WaitUntil([&] { return link_->Window() && link_->Window()->isVisible(); }));
        overview_ = link_->Window();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(overview_));
    }

    void Click(QWidget* window, QPoint at) {
        QTest::mouseMove(window->windowHandle(), at);
        QTest::qWait(50);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    }

    QByteArray savedCache_;
    QTemporaryDir cache_, card_, root_;
    QString library_;
    OverviewLink* link_ = nullptr;
    OverviewWindow* overview_ = nullptr;
};

TEST_F(LibraryWindowTest, OpensLikeACardAndPlaysAPlaceFoundInIt) {
    ImportTripsCard();
    if (HasFatalFailure())
        return;
    const FolderScan onCard = ScanFolder(card_.path());
    ASSERT_GT(onCard.files.size(), 4u);

    dlg_->OpenFolder(library_);
    ASSERT_TRUE(WaitUntil([&] { return Front()->State() == libvlc_Playing; }, 15000));
    // Every recording of the card, each from its day folder.
    const RecordingCatalog& catalog = dlg_->Catalog();
    ASSERT_EQ(catalog.Files().size(), onCard.files.size());
    for (const RecordingFile& file : catalog.Files())
        EXPECT_TRUE(file.folder.contains(QRegularExpression("^\\d{4}/\\d{4}-\\d\\d-\\d\\d/$")))
            << file.folder.toStdString();

    // The overview's answers are those of the card itself.
    OverviewLink* link = dlg_->Overview();
    ASSERT_TRUE(WaitUntil([&] { return link->Data() != nullptr; }, 60000));
    CardIndex ofCard;
    QString note;
    ASSERT_TRUE(ofCard.Build(onCard.files, QString(), {}, &note));
    const auto data = link->Data();
    EXPECT_EQ(data->Trips().size(), ofCard.Trips().size());
    EXPECT_EQ(data->Events().size(), ofCard.Events().size());
    EXPECT_FALSE(QFileInfo::exists(
        IndexCache::DatabasePath(CardIndex::DefaultCacheFolder(), catalog.Files().front().root)));

    // "When was I here?" at the middle of the last trip's first front recording.
    const TripSummary& trip = data->Trips().back();
    int recording = -1;
    for (int r : trip.recordings)
        if (!data->Recordings()[size_t(r)].rear && !data->Recordings()[size_t(r)].points.empty()) {
            recording = r;
            break;
        }
    ASSERT_GE(recording, 0);
    const std::vector<IndexedPoint>& points = data->Recordings()[size_t(recording)].points;
    const IndexedPoint place = points[points.size() / 2];

    QTest::keyClick(dlg_->windowHandle(), Qt::Key_T, Qt::ControlModifier);
    ASSERT_TRUE(WaitUntil([&] { return link->Window() && link->Window()->isVisible(); }));
    OverviewWindow* overview = link->Window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(overview));
    overview->AskPlace(place.latitude, place.longitude);
    QTreeView* places = overview->PlaceList();
    int row = -1;
    for (int i = 0; i < places->model()->rowCount() && row < 0; ++i)
        if (places->model()->index(i, 0).data(PlaceListModel::kRecordingRole).toInt() == recording)
            row = i;
    ASSERT_GE(row, 0) << "the recording passing the place is not listed";
    const QModelIndex hit = places->model()->index(row, 0);
    const qint64 offset = hit.data(PlaceListModel::kOffsetRole).toLongLong();
    places->scrollTo(hit);
    Click(overview, places->viewport()->mapTo(overview, places->visualRect(hit).center()));
    const QString path = QFileInfo(data->Recordings()[size_t(recording)].path).canonicalFilePath();
    ASSERT_TRUE(path.startsWith(QFileInfo(library_).canonicalFilePath() + "/"));
    ASSERT_TRUE(WaitUntil(
        [&] {
            return Playing() == path && Front()->State() == libvlc_Playing &&
                   Front()->GetTime() >= offset - 1000 && Front()->GetTime() < offset + 3000;
        },
        15000))
        << Playing().toStdString() << " at " << Front()->GetTime() << ", wanted " << offset;
}

// The calendar's cell of a day of the month it shows: the days run on row
// by row from the first "1" in the grid.
QPoint CellOf(DrivingCalendar* calendar, const QDate& day, QWidget* window) {
    auto* view = calendar->findChild<QTableView*>();
    const QAbstractItemModel* model = view->model();
    const int columns = model->columnCount();
    int first = -1;
    for (int r = 0; r < model->rowCount() && first < 0; ++r)
        for (int c = 0; c < columns && first < 0; ++c)
            if (model->index(r, c).data().toString() == QLatin1String("1"))
                first = r * columns + c;
    const int at = first + day.day() - 1;
    const QModelIndex cell = model->index(at / columns, at % columns);
    return view->viewport()->mapTo(window, view->visualRect(cell).center());
}

TEST_F(LibraryWindowTest, CalendarShowsEachDrivingDaysDistanceAndAClickChoosesTheDay) {
    OpenOverview();
    if (HasFatalFailure())
        return;
    DrivingCalendar* calendar = overview_->Calendar();
    ASSERT_TRUE(calendar->isVisible());
    const std::vector<DayTotal> days = TotalsPerDay(link_->Data()->Trips());
    ASSERT_GE(days.size(), 2u);
    // A driving day of the month the calendar opens on, the last one's.
    const DayTotal& chosen = *std::find_if(days.begin(), days.end(), [&](const DayTotal& d) {
        return d.day.month() == days.back().day.month();
    });
    ASSERT_EQ(calendar->monthShown(), chosen.day.month());
    EXPECT_FALSE(calendar->DistanceText(chosen.day).isEmpty());
    QDate idle = chosen.day.addDays(1);
    while (std::any_of(days.begin(), days.end(), [&](const DayTotal& d) { return d.day == idle; }))
        idle = idle.addDays(1);
    ASSERT_EQ(idle.month(), chosen.day.month()) << "no idle day in the month";
    EXPECT_TRUE(calendar->DistanceText(idle).isEmpty());

    // A day without trips chooses nothing.
    Click(overview_, CellOf(calendar, idle, overview_));
    Pump(300);
    EXPECT_FALSE(overview_->DayFilter()->currentData().toDate().isValid());

    Click(overview_, CellOf(calendar, chosen.day, overview_));
    ASSERT_TRUE(WaitUntil([&] {
        return overview_->DayFilter()->currentData().toDate() == chosen.day;
    })) << overview_->DayFilter()->currentText().toStdString();
    // The day's total row and its trips, as the day filter shows a day.
    EXPECT_EQ(overview_->TripList()->model()->rowCount(), chosen.trips + 1);
}

TEST_F(LibraryWindowTest, FreeSpaceDeletesTheProposedDrivesOnlyOnTheUsersWord) {
    OpenOverview();
    if (HasFatalFailure())
        return;
    const auto data = link_->Data();
    uint64_t bytes = 0, locked = 0;
    for (const IndexedRecording& r : data->Recordings()) {
        bytes += r.fileSize;
        if (r.flags)
            locked += r.fileSize;
    }
    ASSERT_GT(locked, 0u) << "the trips card holds a locked recording";
    const QString header = overview_->Header()->text();
    EXPECT_TRUE(header.contains(FigureTexts::Bytes(bytes))) << header.toStdString();
    EXPECT_TRUE(header.contains(FigureTexts::Bytes(locked))) << header.toStdString();

    const PruneProposal proposal =
        OldestQuietDrives(data->Recordings(), data->Trips(), data->Events(), 10);
    ASSERT_FALSE(proposal.paths.isEmpty());
    const QDir library(library_);
    QStringList named;
    for (const QString& path : proposal.paths)
        named << library.relativeFilePath(path);
    const size_t listed = dlg_->Catalog().Files().size();

    // Answers the dialog with a click on one of its buttons, keeping what it named.
    QStringList shown;
    const auto answer = [&](bool remove) {
        QTimer watch;
        bool clicked = false;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto* ask = qobject_cast<FreeSpaceDialog*>(QApplication::activeModalWidget());
            if (!ask || clicked || !ask->windowHandle() || !ask->windowHandle()->isExposed())
                return;
            clicked = true;
            shown = ask->Files()->toPlainText().split('\n');
            QPushButton* button = remove ? ask->DeleteButton() : ask->CancelButton();
            QTest::mouseClick(ask->windowHandle(), Qt::LeftButton, {},
                              button->mapTo(ask, button->rect().center()));
        });
        watch.start(100);
        QPushButton* free = overview_->FreeSpaceButton();
        Click(overview_, free->mapTo(overview_, free->rect().center()));
        EXPECT_TRUE(WaitUntil([&] { return clicked && !QApplication::activeModalWidget(); }));
    };

    const QStringList before = [&] {
        QStringList all;
        for (const QString& path : proposal.paths)
            if (QFileInfo::exists(path))
                all << path;
        return all;
    }();
    ASSERT_EQ(before, proposal.paths);
    answer(false);
    EXPECT_EQ(shown, named);
    for (const QString& path : proposal.paths)
        EXPECT_TRUE(QFileInfo::exists(path)) << "deleted on Cancel: " << path.toStdString();

    answer(true);
    EXPECT_EQ(shown, named);
    for (const QString& path : proposal.paths)
        EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
    LibraryIndex index;
    QString error;
    ASSERT_TRUE(index.Open(library_, false, &error)) << error.toStdString();
    for (const QString& path : named)
        EXPECT_FALSE(index.FindPath(path).has_value()) << path.toStdString();
    // The lists and the overview no longer hold them.
    ASSERT_TRUE(WaitUntil(
        [&] { return dlg_->Catalog().Files().size() == listed - size_t(proposal.paths.size()); },
        15000))
        << dlg_->Catalog().Files().size() << " listed of " << listed << " less "
        << proposal.paths.size();
    ASSERT_TRUE(WaitUntil(
        [&] {
            return link_->Data() &&
                   link_->Data()->Recordings().size() == listed - size_t(proposal.paths.size());
        },
        60000));
}

} // namespace
#endif
