#pragma once
#include <QString>
#include <QUrl>

// The map pages and their scripts live in a folder "res": below the working
// directory, or, when the page is not there, beside the program.
namespace LocalPages {

QString PageFileName(int mapChoice);

// File URL of the page for the map choice. When neither folder holds it, the
// URL names the working directory's copy, so the load fails visibly.
QUrl MapPageUrl(int mapChoice);

// True for a file URL inside one of the two res folders: the only pages that
// get the native bridge.
bool IsOwnLocalPage(const QUrl& url);

} // namespace LocalPages
