#pragma once
// A memory card of real recordings for tests of the whole main window, and
// the window shown and active as a user sees it.
#include <QString>
#include <QStringList>

class QWidget;

// Writes `moments` recordings of `durationMs` each below `root`, a minute
// apart, each a front file and its rear partner (DCIM/front, DCIM/back).
// Returns the front files' paths in recording order, or an empty list with
// the writer's complaint in *error.
QStringList WriteCard(const QString& root, int moments, int durationMs, QString* error);

// Shows the window, makes it the active one and waits until it is.
bool ShowActive(QWidget& window);
