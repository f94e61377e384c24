#include "controls/CGdiPlusBitmapResource.h"

#include <QFile>

static void RegisterPictures() {
    // The pictures live in a static library; naming its initialiser links it in.
    static const bool registered = [] {
        Q_INIT_RESOURCE(halvex_pictures);
        return true;
    }();
    (void)registered;
}

QString CGdiPlusBitmapResource::ResourcePath(unsigned id, const QString& type) {
    return QStringLiteral(":/%1/%2").arg(type.toUpper()).arg(id);
}

void CGdiPlusBitmapResource::Empty() {
    CGdiPlusBitmap::Empty();
    m_buffer.clear();
}

bool CGdiPlusBitmapResource::Load(unsigned id, const QString& type) {
    RegisterPictures();
    Empty();
    QFile file(ResourcePath(id, type));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    m_buffer = file.readAll();
    if (m_buffer.isEmpty() || !m_image.loadFromData(m_buffer)) {
        Empty();
        return false;
    }
    return true;
}
