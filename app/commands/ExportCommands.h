#pragma once
#include "app/playback/PlaybackContext.h"
#include "recordings/TripExport.h"

#include <QPoint>
#include <QString>
#include <functional>

class QMenu;

// The KML button's right-click menu: the current recording's route as GPX
// or CSV, and the route of the chosen groups as GPX, CSV or KML, into a
// folder the user picks (remembered; the KML folder at first).
class ExportCommands {
  public:
    // Returns true with the folder when the user chose one.
    using FolderChooser = std::function<bool(const QString& initial, QString* folder)>;
    using Question = std::function<bool()>;

    explicit ExportCommands(const PlaybackContext& context);

    // The menu's entries in order; each runs its export when triggered.
    void FillMenu(QMenu* menu);
    void ShowMenu(QPoint globalPosition);

    void ExportRoute(TripFormat format);
    enum class TripKind { Gpx, Csv, Kml };
    void ExportTrip(TripKind kind);

    FolderChooser chooseFolder;
    // Whether the CSV export also writes the G-sensor samples.
    Question askGSensor;

    // The folder offered first: the last one chosen, or the KML folder.
    static QString InitialFolder();

  private:
    bool PickFolder(QString* folder);
    // leftOut: positions inside the privacy zones, said when there are zones.
    void Report(bool ok, const QStringList& written, const QString& error, size_t zones,
                int leftOut);

    PlaybackContext ctx_;
};
