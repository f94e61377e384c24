#pragma once
#include <QRegion>
#include <QSize>

// The main window's outline: rounded corners, the top-left corner rounded
// further to a 30-pixel radius; a plain rectangle in full screen.
QRegion MainWindowRegion(QSize client, bool fullScreen);
