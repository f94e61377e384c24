#pragma once
#include <QString>

// Where the KML button saves routes: the documents folder followed by
// "Halvex Ostrel Zarn/KML/", or "" (the current directory) when there is no
// documents folder.
QString KmlFolder();

// Creates every level of a folder path that does not exist yet.
bool CreateFolderPath(const QString& folder);
