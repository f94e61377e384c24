#pragma once
// The bundle's files on their way to their final names: NAME.mp4 with
// NAME.gpx, NAME.csv, NAME.json and NAME.sha256. Each is written where no one
// sees it and all take their names together at the end, the clip last. A
// name that leads to a source recording is refused whatever the caller says;
// a file already under a final name is refused unless the caller asked to
// replace it, and is then kept aside until the new bundle is in place, so a
// failure leaves every earlier file as it was.
#include "platform/PendingFile.h"

#include <QStringList>
#include <array>

class ClipBundleFiles {
  public:
    enum File { kClip, kGpx, kCsv, kJson, kSums, kFileCount };

    // Checks the names before any work: the folder is there, no final name
    // is a source or a folder, and an existing file only with `replace`
    // (those not to be replaced go to *existing).
    bool Prepare(const QString& clipPath, const QStringList& sources, bool replace,
                 QStringList* existing, QString* error);
    const QStringList& Finals() const { return finals_; }
    // The final name of one file without its folder.
    QString Name(File file) const;

    bool Create(QString* error);
    PendingFile& Pending(File file) { return files_[file]; }

    // Every file under its final name, or on a failure none, with every
    // earlier file back under its name; a name taken meanwhile goes to
    // *existing.
    bool Place(QStringList* existing, QString* error);

  private:
    QString folder_, base_;
    QStringList finals_;
    bool replace_ = false;
    std::array<PendingFile, kFileCount> files_;
};

// The bundle's final names for a clip's path (".mp4") that exist already.
QStringList ExistingBundleFiles(const QString& clipPath);

// Whether the text names a file a bundle can be written under; why not in
// *error (a control character, only a folder, only a suffix).
bool CheckClipOutputName(const QString& name, QString* error);
