#pragma once
#include <QString>
#include <QStringList>
#include <QUrl>

// The map pages and the files they load live in a folder "res" below the
// working directory, when that folder holds the complete set; otherwise
// beside the program: ../share/halvex for an installed program, res/ for a
// run from the build tree.
namespace LocalPages {

QString PageFileName(int mapChoice);

// The folders looked in, in order.
QStringList PageFolders();

// True when the folder holds both pages and every file they load.
bool HoldsCompleteSet(const QString& folder);

// File URL of the page for the map choice, from the first folder that holds
// the complete set (else the first that holds the page). When none holds it,
// the URL names the working directory's copy, so the load fails visibly.
QUrl MapPageUrl(int mapChoice);

// True for a file URL inside one of the page folders: the only pages that get
// the native bridge.
bool IsOwnLocalPage(const QUrl& url);

} // namespace LocalPages
