// Feeding the group list and the file list.
#include "recordings/RecordingCatalog.h"
#include "recordings/ResolutionName.h"

void RecordingCatalog::FillLists() {
    if (groupList) {
        for (const RecordingGroup& g : groups) {
            const RecordingInfo& first = files[size_t(g.firstFile)].info;
            groupList->AddGroupRow(g.number, ResolutionName(first.width, first.height),
                                   g.totalDurationMs, g.totalSize, g.flags, first.startTime);
        }
    }
    if (fileList) {
        for (const FileListRow& row : rows) {
            const RecordingFile& f = files[size_t(row.fileIndex)];
            fileList->AddFileRow(row.groupNumber, row.indexInGroup, f.root + f.folder, f.fileName,
                                 row.durationMs, row.fileSize, f.flags, f.info.startTime);
        }
    }
}

void RecordingCatalog::RefillLists() {
    if (groupList)
        groupList->DeleteAllItems();
    if (fileList)
        fileList->DeleteAllItems();
    FillLists();
}
