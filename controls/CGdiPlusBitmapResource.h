#pragma once
#include "controls/CGdiPlusBitmap.h"

#include <QByteArray>
#include <QString>

// A picture compiled into the program, found by resource id and type ("PNG",
// "BITMAP" or "ICON").
class CGdiPlusBitmapResource : public CGdiPlusBitmap {
  public:
    CGdiPlusBitmapResource() = default;
    explicit CGdiPlusBitmapResource(unsigned id, const QString& type = QStringLiteral("PNG")) {
        Load(id, type);
    }

    // Releases any earlier picture; false (and no picture) when the resource
    // is missing, empty or cannot be decoded.
    bool Load(unsigned id, const QString& type = QStringLiteral("PNG"));
    void Empty() override;

    static QString ResourcePath(unsigned id, const QString& type);

  private:
    // The encoded bytes, kept exactly as long as the picture decoded from them.
    QByteArray m_buffer;
};
