#pragma once
#include "app/playback/PlaybackContext.h"

#include <QString>
#include <QStringList>
#include <functional>

class FileStarter;
class PlaybackController;

// OPEN: asks for a folder, scans it into the catalog and starts its first
// recording half a second later.
class OpenCommand {
  public:
    // Returns true with the folder when the user chose one.
    using FolderChooser = std::function<bool(QString* folder)>;

    OpenCommand(const PlaybackContext& context, PlaybackController& controller,
                FileStarter& starter);

    // The OPEN button.
    void Run();
    // A folder given at start-up or dropped on the window, taken as if
    // chosen with OPEN (and remembered as the last folder). When
    // `startFile` is listed after the scan, it starts instead of the first.
    void OpenFolder(const QString& folder, const QString& startFile = QString());

    // The folder to open at start: the one given on the command line, else
    // the last folder when it still exists, else "".
    static QString FolderAtStart(const QString& commandLineFolder);

    // The media open dialog by default.
    FolderChooser chooseFolder;

  private:
    void StopAndReset();
    // True when something is listed and its start deferred.
    bool Scan(const QString& folder, const QString& startFile);
    void ReportUnreadableNames() const;
    void ReportUnlisted(const QStringList& names, unsigned stringId) const;

    PlaybackContext ctx_;
    PlaybackController& controller_;
    FileStarter& starter_;
};
