#pragma once
#include "app/playback/PlaybackContext.h"
#include "recordings/FramePlace.h"

#include <QString>
#include <functional>

class CVlcPlayer;

// SNAP: the current pictures of both cameras as image files beside each
// other, the front one marked "_F" and the rear one "_R". The players are
// held (PlayerPair::Hold) while the name is chosen and the pictures taken.
class SnapshotCommand {
  public:
    // Returns true with the path when the user chose a name.
    using FileChooser = std::function<bool(QString* path)>;

    explicit SnapshotCommand(const PlaybackContext& context);

    void Run();

    // `path` with `tag` put before the extension of its file name
    // ("snap.jpg", "_F" gives "snap_F.jpg"), or at its end without one.
    static QString TaggedPath(const QString& path, const QString& tag);

    // The save dialog by default.
    FileChooser chooseFile;

    // When and where the frame on screen was taken (the front player's
    // time when it has a file, else the rear one's).
    FramePlace CurrentFramePlace() const;

  private:
    // False with the reason in *error when no whole picture was written.
    static bool TakePicture(CVlcPlayer& player, const QString& path, const FramePlace& place,
                            QString* error);

    PlaybackContext ctx_;
};
