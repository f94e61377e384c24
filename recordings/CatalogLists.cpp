// Feeding the group list and the file list, and the current-file marks.
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

int RecordingCatalog::SelectFile(int index) {
    if (index < 0 || size_t(index) >= rows.size())
        return 0;
    if (groupList && currentGroup >= 0 && size_t(currentGroup) < groups.size())
        groupList->SetDropHighlight(currentGroup, false);
    if (fileList && currentFile >= 0 && size_t(currentFile) < rows.size())
        fileList->SetDropHighlight(currentFile, false);
    currentFile = index;
    FindGroupOfCurrentFile();
    if (groupList && currentGroup >= 0) {
        groupList->SetDropHighlight(currentGroup, true);
        groupList->EnsureVisible(currentGroup);
    }
    if (fileList) {
        fileList->SetDropHighlight(currentFile, true);
        fileList->EnsureVisible(currentFile);
    }
    return 1;
}
