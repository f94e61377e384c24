#pragma once
#include "recordings/CatalogViews.h"
#include "recordings/GpsPoint.h"
#include "recordings/RecordingInfo.h"

#include <QFile>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

// All recordings of one Open, their groups and list rows, and the track data
// of the current recording. Views are reached only through pointers that may
// be null.
class RecordingCatalog {
  public:
    RecordingCatalog() = default;
    RecordingCatalog(const RecordingCatalog&) = delete;
    RecordingCatalog& operator=(const RecordingCatalog&) = delete;

    int Reset();

    // Full path of a file; throws std::out_of_range for an index outside files.
    QString GetFilePath(int index) const;
    QString GetCurrentFilePath() const;

    int FindGroupOfCurrentFile();
    int CurrentGroupHasFlaggedFile();

    // Loads the track data of the file at the index; 0 when it cannot.
    int LoadTrack(int index);

    // Scans the folder tree and rebuilds files, groups, rows and both lists;
    // 0 when the folder does not exist.
    int Open(const QString& folder);
    // Makes the file at the index current and highlights it in both lists.
    int SelectFile(int index);

    // Grouping of the sorted files, shared by Open and a delete.
    void MarkGroupStarts();
    void BuildGroupsAndRows();
    // Appends one row per group and per file to the lists that exist.
    void FillLists();

    // File operations on the groups chosen in the group list.
    int MarkChosenGroups();
    // The full paths of files that stay as they were (locked, a read-only
    // card, no permission) go to untouched.
    int DeleteChosen(QStringList* untouched = nullptr);
    int LockChosen(QStringList* untouched = nullptr);
    int UnlockChosen(QStringList* untouched = nullptr);
    // Asked before an existing destination file is replaced; false skips it.
    // Without a question existing files are replaced.
    using OverwriteQuestion = std::function<bool(const QString& destinationPath)>;
    // Told before each file and after each piece of it: the bytes copied so
    // far of all the files to copy, their total and the file at hand; false
    // stops the copying there, leaving no part of that file behind.
    using CopyProgress = std::function<bool(qint64 done, qint64 total, const QString& source)>;
    // Copies the chosen recordings below the destination, keeping their
    // sub-folders; false when nothing is chosen. The source paths of files
    // that could not be copied go to notCopied.
    bool SaveChosen(const QString& destination, const OverwriteQuestion& askOverwrite = {},
                    QStringList* notCopied = nullptr, const CopyProgress& progress = {});

    // Writes the route of the current recording as a KML file in the folder;
    // false when there is no current recording or the file cannot be written.
    bool ExportKml(const QString& kmlFolder, QString* fileName);

    // Sends the whole route of the current recording to the map page; for a
    // metadata-track recording the car is put on its first point.
    void PlotRoute();
    // Rebuilds the driven line up to the play time t (ms); 0 without files.
    int PlotDrivenTo(uint32_t t);

    // Track data of the current recording, whatever its variant.
    int32_t CurrentVariant() const;
    int GpsPointCount() const;
    GpsPoint GpsPointAt(int i) const;
    int GSensorSampleCount() const;
    GSensorSample GSensorSampleAt(int i) const;

    std::vector<RecordingFile> files;
    std::vector<RecordingGroup> groups;
    std::vector<FileListRow> rows;
    // Files the last Open found but could not list, because their names or
    // their folders' names are not valid UTF-8: paths below the root with
    // each such byte written \xNN.
    QStringList unreadableNames;

    // Reads the metadata records of the recording being loaded.
    QFile reader;

    // Metadata-track variant: decoded points and samples.
    std::vector<GpsPoint> points;
    std::vector<GSensorSample> samples;

    GroupListView* groupList = nullptr;
    FileListView* fileList = nullptr;
    GSensorCurveView* gsensorCurve = nullptr;
    MapView* mapWindow = nullptr;
    ScanCounterView* scanCounterDisplay = nullptr;
    MainWindowView* mainWindow = nullptr;

    // Chunk variant: the raw "gps0" and "gsen" payloads. Only bytes actually
    // read from the file are ever held here.
    std::vector<uint8_t> gpsBlock;
    std::vector<uint8_t> gsensorBlock;

    int32_t scanCount = 0;
    double gpsRate = 1.0;
    int32_t sampleCount = 0;
    int32_t currentFile = -1;
    int32_t currentGroup = 0;
    uint8_t plotting = 0;
    uint8_t loading = 0;
    int32_t anyGps = 0;

  private:
    void ClearTrack();
    void ForgetTrack();
    void RefillLists();
    uint8_t GroupFlagsAfter(const RecordingGroup& g, uint8_t designed) const;
    int LoadChunkTrack(int index);
    int LoadMetadataTrack(int index);
    void HandSamplesToCurve(const RecordingInfo& info, const std::vector<GSensorSample>& samples);
};
