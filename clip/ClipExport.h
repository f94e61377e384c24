#pragma once
// A clip and its evidence bundle: NAME.mp4 with NAME.gpx, NAME.csv,
// NAME.json (where it came from) and NAME.sha256 (checked by sha256sum -c).
// Every file is written where no one sees it and named only when all are
// whole, so a cancel, a failure or a full disk leaves nothing under the final
// names; an existing file is replaced only when the request says so, a source
// recording never (ClipBundleFiles).
#include "clip/ClipEncodeJob.h"
#include "settings/PrivacyZones.h"

#include <QStringList>

struct ClipRequest {
    std::vector<ClipSource> sources; // consecutive recordings, sorted by start
    int64_t fromMs = 0;              // the marks: camera clock, ms since 1970
    int64_t toMs = 0;
    ClipOptions options;
    std::vector<PrivacyZone> zones;
    QString outputPath;     // the clip's final name, ".mp4"
    bool overwrite = false; // replace files already under the bundle's names
    QString preset = "veryfast";
};

struct ClipOutcome {
    bool cancelled = false;
    bool fastPath = false;
    QString error;        // empty when the clip was written
    QStringList files;    // the bundle's files in their final places
    QStringList existing; // files under the bundle's names, not replaced
    int64_t frames = 0;
    // Where the clip holds less than asked for (a picture cut short, sound
    // left out), each naming its file; the manifest lists them too.
    QStringList notes;
    int positionsLeftOut = 0; // GPS points of the span inside a privacy zone
};

// libav's own lines down to errors. A command line wants this; the viewer
// leaves the level to libvlc, which shares the library.
void QuietLibavLog();

// The output name for a clip: ".mp4" added when missing.
QString ClipOutputPath(const QString& name);

bool ExportClip(const ClipRequest& request, const ClipProgress& progress, ClipOutcome* outcome);
