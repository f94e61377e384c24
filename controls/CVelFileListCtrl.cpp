#include "controls/CVelFileListCtrl.h"

#include "controls/ListRowTexts.h"
#include "strings/UiStringIds.h"

CVelFileListCtrl::CVelFileListCtrl(QWidget* parent) : CVelListCtrl(parent) {}

void CVelFileListCtrl::SetUp() {
    // ID, File Name, Start Time, End Time, File Size, Folder: each 3/10 of
    // the width, so the list scrolls sideways.
    SetUpColumns({UiStringId::kIdColumn, UiStringId::kFileNameColumn, UiStringId::kStartTimeColumn,
                  UiStringId::kEndTimeColumn, UiStringId::kFileSizeColumn,
                  UiStringId::kFolderColumn},
                 3, 10);
}

bool CVelFileListCtrl::AddFileRow(int groupNumber, int indexInGroup, const QString& folderText,
                                  const QString& fileName, uint32_t durationMs, uint64_t fileSize,
                                  uint8_t flags, int64_t startTime) {
    return AppendRow(FileRowTexts(groupNumber, indexInGroup, folderText, fileName, durationMs,
                                  fileSize, startTime),
                     flags, false);
}
