#pragma once
#include <QImage>

class QWidget;

// What the parent paints under the widget, without any child widget: the
// backdrop that skinned controls compose their pictures on. Transparent
// where the parent paints nothing, and all transparent without a parent.
QImage ParentBackground(const QWidget* widget);
