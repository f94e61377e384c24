#pragma once

class RecordingCatalog;

// False when none of the listed files exists any more, as when the card has
// been taken out since it was scanned.
bool AnyListedFileLeft(const RecordingCatalog& catalog);
