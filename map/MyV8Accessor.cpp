#include "map/MyV8Accessor.h"

bool MyV8Accessor::Get(const QString& name, QString* retval) const {
    if (name != QLatin1String("myval"))
        return false;
    *retval = value_;
    return true;
}

bool MyV8Accessor::Set(const QString& name, const QVariant& value, QString* exception) {
    if (name != QLatin1String("myval"))
        return false;
    if (value.typeId() == QMetaType::QString)
        value_ = value.toString();
    else
        *exception = QStringLiteral("Invalid value type");
    return true;
}

QString MyV8Accessor::Store(const QString& name, const QVariant& value) {
    QString exception;
    Set(name, value, &exception);
    return exception;
}
