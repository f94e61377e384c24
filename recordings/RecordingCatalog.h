#pragma once
#include "recordings/FolderScan.h"
#include "recordings/GpsPoint.h"
#include "recordings/RecordingInfo.h"
#include "recordings/Track.h"
#include "settings/PrivacyZones.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <vector>

// All recordings of one Open, their groups and list rows, and the track of
// the current recording. It knows no views: presenter/CatalogPresenter shows
// what it holds. The operations are defined in recordings/:
// RecordingCatalog.cpp (reset, paths, track loading), CatalogSelection.cpp,
// CatalogTrackData.cpp, RecordingDiscovery.cpp (Open, TakeScan), RecordingGrouping.cpp,
// FileOperations.cpp, SaveChosen.cpp and KmlExport.cpp.
class RecordingCatalog {
  public:
    RecordingCatalog() = default;
    RecordingCatalog(const RecordingCatalog&) = delete;
    RecordingCatalog& operator=(const RecordingCatalog&) = delete;

    int Reset();
    // Lists the recordings as they are, without groups or rows: for reading
    // tracks away from the viewer's catalog, or files named one by one.
    void ListFiles(std::vector<RecordingFile> listed);

    // Full path of a file; throws std::out_of_range for an index outside files.
    QString GetFilePath(int index) const;
    QString GetCurrentFilePath() const;

    // The current recording: its index in files (-1 when none) and the
    // number of its group (-1 when none). Only the selection operations
    // below, a track load and a delete move them.
    int32_t currentFile() const { return currentFile_; }
    int32_t currentGroup() const { return currentGroup_; }
    // The current file, or nullptr when the index is not a file.
    const RecordingFile* CurrentRecording() const;
    // The current index limited to the last file (-1 when there is none).
    int CurrentFileClamped() const;

    // The index of the listed file at the path, both named as the file
    // system names them (a path that is gone as written); -1 when none.
    int IndexOfPath(const QString& path) const;

    int FindGroupOfCurrentFile() const;
    int CurrentGroupHasFlaggedFile() const;

    // Loads the track of the file at the index and makes it current; 0 when
    // it cannot.
    int LoadTrack(int index);
    // The current recording's track; an empty one without a current
    // recording of a known variant.
    const Track& CurrentTrack() const;

    // Scans the folder tree and rebuilds files, groups and rows; 0 when the
    // folder does not exist. Told each count of files examined.
    int Open(const QString& folder, const ScanCounted& counted = {});
    // Rebuilds files, groups and rows from a finished scan, taken whole; 0
    // when its folder did not exist.
    int TakeScan(FolderScan scan);
    // Makes the file at the index current.
    int SelectFile(int index);
    // Makes the first file of the group at the row current, as SelectFile
    // does; 0 when the row is not a group or either group holds no file.
    int SelectGroup(int row);
    // Brings a current index past the last file back to the last file.
    void ClampCurrentFile();

    // Grouping of the sorted files, shared by Open and a delete.
    void MarkGroupStarts();
    void BuildGroupsAndRows();
    // Rear files listed right after their front partner (the same moment,
    // whose length a group counts once).
    int FrontRearPairs() const;
    // File operations on the groups chosen in the group list: the rows that
    // are selected or checked, as the list tells.
    using RowChosen = std::function<bool(int row)>;
    void SetChosenRows(RowChosen chosen) { rowChosen_ = std::move(chosen); }
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
    // false when there is no current recording, its track could not be read,
    // or the file cannot be written. Positions inside the zones are left
    // out, counted in *leftOut.
    bool ExportKml(const QString& kmlFolder, QString* fileName,
                   const std::vector<PrivacyZone>& zones = {}, int* leftOut = nullptr);

    // Track data of the current recording, whatever its variant; no points
    // and no samples without a current recording of a known variant.
    int32_t CurrentVariant() const;
    int GpsPointCount() const;
    // The fix at an index of the current track.
    const GpsFix& FixAt(int i) const;
    int GSensorSampleCount() const;
    GSensorSample GSensorSampleAt(int i) const;

    // The listed recordings in list order, their groups and the file list's
    // rows; only the operations above change them.
    const std::vector<RecordingFile>& Files() const { return files; }
    const std::vector<RecordingGroup>& Groups() const { return groups; }
    const std::vector<FileListRow>& Rows() const { return rows; }

    // Files the last Open found but could not list, because their names or
    // their folders' names are not valid UTF-8: paths below the root with
    // each such byte written \xNN.
    QStringList unreadableNames;
    // Files the last Open found but did not read, because they lie deeper
    // than the walk goes or their paths are too long to open; as above.
    QStringList skippedNames;

    // How many files the last Open examined, and whether any has GPS data.
    int32_t scanCount = 0;
    int32_t anyGps = 0;

  private:
    friend struct CatalogStaging; // tests set up states no operation reaches

    std::vector<RecordingFile> files;
    std::vector<RecordingGroup> groups;
    std::vector<FileListRow> rows;

    int32_t currentFile_ = -1;
    int32_t currentGroup_ = 0;
    // A track whose read failed (a card pulled out, a file gone) is no route
    // of the current file.
    Track track_;
    RowChosen rowChosen_;

    uint8_t GroupFlagsAfter(const RecordingGroup& g, uint8_t designed) const;
};
