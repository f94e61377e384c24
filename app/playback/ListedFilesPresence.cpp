#include "app/playback/ListedFilesPresence.h"

#include "recordings/RecordingCatalog.h"

#include <QFileInfo>

bool AnyListedFileLeft(const RecordingCatalog& catalog) {
    for (int i = 0; i < int(catalog.Files().size()); ++i)
        if (QFileInfo::exists(catalog.GetFilePath(i)))
            return true;
    return false;
}
