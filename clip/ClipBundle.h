#pragma once
// The evidence bundle's texts: the span's route and the manifest.
#include "clip/ClipExport.h"
#include "recordings/TripModel.h"

#include <QByteArray>
#include <QJsonObject>

// The span's points (outside the privacy zones) and samples, one recording
// per piece, in the form the GPX and CSV writers take.
Trip SpanTrip(const std::vector<ClipPiece>& pieces, const std::vector<TripRecording>& tracks,
              const std::vector<PrivacyZone>& zones);

// One source file's entry of the manifest, with the file's SHA-256 in hex;
// false when the hash is empty (the file could not be read).
bool SourceEntry(const QString& path, const QByteArray& hash, const QString& camera,
                 const ClipPiece& piece, QJsonObject* entry, QString* error);

// Lines "HASH  NAME" as sha256sum writes and checks them.
QByteArray Sha256Lines(const QStringList& names, const QList<QByteArray>& hashes);

// An instant as local time with its UTC offset and as UTC, ISO 8601.
QString LocalIso(int64_t ms);
QString UtcIso(int64_t ms);
