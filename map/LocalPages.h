#pragma once
#include <QString>
#include <QStringList>
#include <QUrl>

// The map pages and the files they load live beside the program only:
// ../share/halvex for an installed program, the build tree's res/ for a
// program run from the build tree it was built in. A folder from the working
// directory is never used, as anyone could have put it there.
namespace LocalPages {

QString PageFileName(int mapChoice);

// The folders looked in, in order.
QStringList PageFolders();

// True when the folder holds both pages and every file they load.
bool HoldsCompleteSet(const QString& folder);

// File URL of the page for the map choice, from the first folder that holds
// the complete set (else the first that holds the page). When none holds it,
// the URL names the first folder's copy, so the load fails visibly.
QUrl MapPageUrl(int mapChoice);

// True for a file URL inside one of the page folders: the only pages that get
// the native bridge.
bool IsOwnLocalPage(const QUrl& url);

// True for two URLs of the same document (the fragment aside).
bool SameDocument(const QUrl& a, const QUrl& b);

} // namespace LocalPages
