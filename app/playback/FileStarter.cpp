#include "app/playback/FileStarter.h"

#include "app/playback/ListedFilesPresence.h"
#include "app/playback/PlaybackController.h"
#include "app/playback/PlaybackView.h"
#include "app/playback/PlayerPair.h"
#include "app/playback/RecordingSteps.h"
#include "player/CVlcPlayer.h"
#include "presenter/CatalogPresenter.h"
#include "recordings/CameraPairing.h"
#include "recordings/RecordingCatalog.h"

#include <QElapsedTimer>
#include <QWidget>

int64_t FileStarter::TickCount() {
    static QElapsedTimer clock = [] {
        QElapsedTimer c;
        c.start();
        return c;
    }();
    return clock.elapsed();
}

FileStarter::FileStarter(const PlaybackContext& context, PlaybackController& controller)
    : m_dwLastFileActivate(TickCount()), ctx_(context), controller_(controller) {}

bool FileStarter::OpenRearCounterpart(const QString& path, int noAudio) {
    CVlcPlayer* rear = ctx_.players->Rear();
    QWidget* surface = ctx_.view->VideoSurface(Camera::Rear);
    const QString partner = surface ? RearPathFor(path) : QString();
    if (partner.isEmpty()) {
        if (rear)
            rear->Recreate(0);
        // The native window keeps the last frame drawn into it until it is
        // painted again: its background is what an empty picture shows.
        if (surface)
            surface->repaint();
        return false;
    }
    if (ctx_.view->SurfaceHidden(Camera::Rear))
        ctx_.view->SetSurfaceHidden(Camera::Rear, false);
    if (!Usable(rear))
        return false;
    rear->SetWindow(uint32_t(surface->winId()));
    rear->OpenMedia(partner, noAudio);
    ctx_.players->Resume(*rear);
    return true;
}

bool FileStarter::PlayFrontFrom(CVlcPlayer* player) {
    ctx_.view->FitVideosToAspect();
    // The surface's native window can be recreated after start-up (the map's
    // GL view does that to the whole window), so it is bound at every start.
    QWidget* surface = ctx_.view->VideoSurface(Camera::Front);
    if (Usable(player)) {
        if (player == ctx_.players->Front() && surface)
            player->SetWindow(uint32_t(surface->winId()));
        ctx_.players->Resume(*player);
    }
    controller_.ShowRateLabel();
    controller_.StartRateLabelRefresh();
    return Usable(player);
}

bool FileStarter::PlayCurrentFile() {
    // Messages still queued from the files played so far no longer apply.
    ctx_.players->BeginFileStart();
    const RecordingCatalog& c = *ctx_.catalog;
    const QString path = c.CurrentRecording() ? c.GetCurrentFilePath() : QString();
    CVlcPlayer* front = ctx_.players->Front();
    if (IsRearCameraPath(path)) {
        const QString frontPath = FrontPathFor(path);
        if (!frontPath.isEmpty()) {
            if (front)
                front->OpenMedia(frontPath, 0);
            const bool frontPlays = PlayFrontFrom(front);
            return OpenRearCounterpart(frontPath, 1) || frontPlays;
        }
        // A rear file alone plays in the rear player; the front one stays stopped.
        const bool rearPlays = OpenRearCounterpart(path, 0);
        PlayFrontFrom(ctx_.players->Rear());
        return rearPlays;
    }
    if (front)
        front->OpenMedia(path, 0);
    const bool frontPlays = PlayFrontFrom(front);
    return OpenRearCounterpart(path, 1) || frontPlays;
}

void FileStarter::RefreshLockButton() {
    ctx_.view->SetLockButtonState(ctx_.catalog->CurrentGroupHasFlaggedFile() == 1 ? 0 : 1);
}

void FileStarter::ShowFrontSurface() {
    if (ctx_.view->SurfaceHidden(Camera::Front))
        ctx_.view->SetSurfaceHidden(Camera::Front, false);
}

bool FileStarter::StartFile(int index) {
    RecordingCatalog& c = *ctx_.catalog;
    // The list may have changed since the index was chosen (a later scan).
    if (index < 0 || size_t(index) >= c.Files().size())
        return false;
    ctx_.presenter->SelectFile(index);
    ctx_.presenter->LoadTrack(index);
    RefreshLockButton();
    return PlayCurrentFile();
}

// libvlc_media_player_stop returns once the player has stopped, so the new
// files can be opened straight after it without the wait the window would
// otherwise sit through.
void FileStarter::OnGroupActivate(int row) {
    ctx_.catalog->ClampCurrentFile();
    if (row == -1)
        return;
    int current = -1;
    controller_.StartGuarded(
        [&] {
            current = SelectGroup(row);
            return current >= 0;
        },
        [&] { return StartShown(current); });
}

int FileStarter::SelectGroup(int row) {
    RecordingCatalog& c = *ctx_.catalog;
    controller_.StopPlayers();
    ctx_.presenter->SelectGroup(row);
    c.ClampCurrentFile();
    const int current = c.Files().empty() ? -1 : c.currentFile();
    RefreshLockButton();
    return current;
}

void FileStarter::OnFileActivate(int row) {
    controller_.StartGuarded(
        [&] {
            ctx_.catalog->ClampCurrentFile();
            const int64_t now = TickCount();
            if (now - m_dwLastFileActivate <= 1999)
                return false;
            m_dwLastFileActivate = now;
            if (row == -1)
                return false;
            controller_.StopPlayers();
            if (ctx_.presenter->SelectFile(row) == 0)
                return false;
            RefreshLockButton();
            return true;
        },
        [&] { return StartShown(row); });
}

bool FileStarter::StartShown(int index) {
    ShowFrontSurface();
    if (StartFile(index))
        return true;
    // The players may have been stopped for the start.
    if (!ctx_.players->AnyPlays())
        ctx_.view->SetPlayButtonState(0);
    const bool canPlay =
        ctx_.players->FirstUsable([](const CVlcPlayer&) { return true; }) != nullptr;
    if (canPlay && !ctx_.catalog->Files().empty() && !AnyListedFileLeft(*ctx_.catalog))
        controller_.ReportCardGone();
    return false;
}

void FileStarter::OnPlayerEnd() {
    controller_.StopPlayers();
    ctx_.view->SetPositionSliderPos(ctx_.view->SeekMinimum());
    if (GSensorCurveView* curve = ctx_.presenter->Views().curve)
        curve->SetPosition(0);
    if (!controller_.m_bAutoNext)
        return;
    RecordingCatalog& c = *ctx_.catalog;
    const int n = int(c.Files().size());
    int e = c.currentFile();
    if (n > 0 && e > n - 1)
        e = n - 1;
    if (e >= 0 && e + 1 < n) {
        int next = e + 1;
        if (FrontPathFor(c.GetFilePath(e + 1)) == c.GetFilePath(e)) {
            // The next row is the partner of the file that ended.
            ctx_.presenter->SelectFile(e + 1);
            ctx_.presenter->LoadTrack(e + 1);
            next = e + 2 < n ? e + 2 : -1;
            RefreshLockButton();
        }
        if (next != -1) {
            StartFile(next);
            return;
        }
    }
    StartFile(0); // nothing to wrap to in an empty list
}

void FileStarter::StartNeighbour(int step) {
    RecordingCatalog& c = *ctx_.catalog;
    int row = -1;
    controller_.StartGuarded(
        [&] {
            if (c.Files().empty())
                return false;
            row = NeighbourRecordingRow(
                int(c.Files().size()),
                [&c](int i) { return FrontPathFor(c.GetFilePath(i)) == c.GetFilePath(i - 1); },
                c.currentFile(), step);
            if (row < 0)
                return false;
            controller_.StopPlayers();
            return true;
        },
        [&] { return StartShown(row); });
}

bool FileStarter::OnTimer(int id) {
    if (id != kDeferredStartTimer)
        return false;
    if (m_nDeferredTicks == 0 || m_nDeferredTicks == -1)
        return true;
    const bool due = m_nDeferredTicks == 1;
    --m_nDeferredTicks;
    // OPEN armed the start guard for this start.
    if (due && (m_nDeferredIndex == -1 || !StartShown(m_nDeferredIndex)))
        controller_.ReleaseStartGuard();
    return true;
}
