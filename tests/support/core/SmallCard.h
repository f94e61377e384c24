#pragma once
// A card of small files in DCIM/MOVIE/ of a scratch folder, listed in a
// catalog grouped as asked: group g's file k starts at 10000 * g + 60 * k and
// lasts a minute. Files are numbered from 1 (FILE0001.MOV) and hold the first
// 8 bytes of their names.
#include "presenter/CatalogPresenter.h"
#include "recordings/RecordingCatalog.h"
#include "tests/support/core/CatalogFakes.h"
#include "tests/support/core/CatalogStaging.h"
#include "tests/support/core/ScratchDir.h"

#include <QStringList>
#include <memory>
#include <vector>

class SmallCard {
  public:
    // Writes the files and lists them in `catalog`, shown in the fake lists
    // by `shownBy` (a presenter of the card's own when none is given).
    void Build(RecordingCatalog& catalog, const std::vector<int>& filesPerGroup,
               CatalogPresenter* shownBy = nullptr) {
        if (!shownBy) {
            ownPresenter = std::make_unique<CatalogPresenter>(catalog);
            shownBy = ownPresenter.get();
        }
        presenter = shownBy;
        CatalogViewSet views = presenter->Views();
        views.groupList = &groups;
        views.fileList = &fileRows;
        presenter->SetViews(views);
        int serial = 1;
        for (size_t g = 0; g < filesPerGroup.size(); ++g)
            for (int k = 0; k < filesPerGroup[g]; ++k, ++serial) {
                RecordingFile f;
                f.root = dir.Root();
                f.folder = "DCIM/MOVIE/";
                f.fileName = Name(serial);
                f.info.startTime = int64_t(10000 * g + 60 * k);
                f.info.durationMs = 60000;
                f.info.fileSize = 8;
                dir.Write(f.folder + f.fileName, f.fileName.toLatin1().left(8));
                CatalogStaging::Files(catalog).push_back(f);
            }
        catalog.MarkGroupStarts();
        catalog.BuildGroupsAndRows();
        presenter->FillLists();
    }
    static QString Name(int serial) {
        return QStringLiteral("FILE%1.MOV").arg(serial, 4, 10, QChar('0'));
    }
    QString PathOf(const QString& name) const { return dir.Root() + "DCIM/MOVIE/" + name; }
    QString PathOf(int serial) const { return PathOf(Name(serial)); }
    static QStringList ListedNames(const RecordingCatalog& catalog) {
        QStringList names;
        for (const RecordingFile& f : catalog.Files())
            names << f.fileName;
        return names;
    }

    ScratchDir dir;
    FakeGroupList groups;
    FakeFileList fileRows;
    CatalogPresenter* presenter = nullptr;
    std::unique_ptr<CatalogPresenter> ownPresenter;
};
