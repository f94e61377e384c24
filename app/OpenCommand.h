#pragma once
#include "app/PlaybackContext.h"

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
    // A folder given at start-up, taken as if chosen with OPEN (and
    // remembered as the last folder).
    void OpenFolder(const QString& folder);

    // The folder named on the command line, or "" when none is.
    static QString FolderFromArguments(const QStringList& arguments);

    // The media open dialog by default.
    FolderChooser chooseFolder;

  private:
    bool Blocked() const;
    void StopAndReset();
    void Scan(const QString& folder);
    void ReportUnreadableNames() const;

    PlaybackContext ctx_;
    PlaybackController& controller_;
    FileStarter& starter_;
};
