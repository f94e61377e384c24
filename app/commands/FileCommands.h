#pragma once
#include "app/playback/PlaybackContext.h"

#include <QString>
#include <QStringList>
#include <functional>

class FileStarter;
class PlaybackController;

// DEL, LOCK and SAVE on the recordings of the groups chosen in the group
// list, and KML, the route of the current recording as a file. Each runs on
// the user-interface thread and keeps the window until it ends.
class FileCommands {
  public:
    // Returns true with the folder when the user chose one ("" when the
    // choice has no file-system path).
    using FolderChooser = std::function<bool(QString* folder)>;

    FileCommands(const PlaybackContext& context, PlaybackController& controller,
                 FileStarter& starter);

    void OnDelete();
    void OnLock();
    void OnSave();
    void OnKml();

    // The folder browser titled "Select a folder" by default.
    FolderChooser chooseSaveFolder;
    // Where KML files go; the documents folder's KML folder by default.
    std::function<QString()> kmlFolder;

  private:
    // Shows "No files in list." and returns true when nothing is listed.
    bool ReportEmptyCatalog() const;
    void ReportNothingChosen() const;
    // The text of the string id, listing the paths, when there are any.
    void ReportPaths(unsigned stringId, const QStringList& paths) const;
    void StopPlayers();
    void MarkCurrentAgain();

    PlaybackContext ctx_;
    PlaybackController& controller_;
    FileStarter& starter_;
};
