#pragma once
// The evidence bundle's texts: the span's route and the manifest.
#include "clip/ClipClock.h"
#include "clip/ClipExport.h"
#include "clip/ClipSourceHashes.h"
#include "recordings/TripModel.h"

#include <QByteArray>
#include <QJsonObject>

// The span's points (outside the privacy zones) and samples, one recording
// per piece, in the form the GPX and CSV writers take; each point's time an
// instant told by the clock; leftOut[i] counts the points of piece i inside a
// zone.
Trip SpanTrip(const std::vector<ClipPiece>& pieces, const std::vector<TripRecording>& tracks,
              const std::vector<PrivacyZone>& zones, const ClipClock& clock,
              std::vector<int>* leftOut = nullptr);

// One source file's entry of the manifest: its size, modification time and
// SHA-256 (hex) as read from one open file; false naming the file when it
// could not be read or changed meanwhile.
bool SourceEntry(const QString& path, const SourceState& state, const QString& camera,
                 const ClipPiece& piece, const CameraClock& clock, QJsonObject* entry,
                 QString* error);

// Lines "HASH  NAME" as sha256sum writes and checks them.
QByteArray Sha256Lines(const QStringList& names, const QList<QByteArray>& hashes);

// An instant as UTC, ISO 8601 with ms.
QString UtcIso(int64_t ms);
