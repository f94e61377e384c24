#pragma once
#include <QString>
#include <cstdint>

// Which files a folder scan opens at all, and the lock flags it gives them.
namespace ScanRules {

// At least eight characters: four of [0-9A-Za-z_-], four digits; and either
// exactly twelve characters or ending in ".MOV".
bool IsCandidateName(const QString& name);

// Flags of a chunk-variant recording from its read-only and archive
// attributes and its name.
uint8_t ChunkFlags(unsigned attributes, const QString& name);

// Flags of a metadata-track recording, from its name; a read-only file whose
// name marks no lock counts as locked by hand, since LOCK makes such files
// read-only and DEL leaves them alone.
uint8_t MetadataTrackFlags(unsigned attributes, const QString& name);

} // namespace ScanRules
