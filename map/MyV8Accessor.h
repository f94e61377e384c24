#pragma once
#include <QObject>
#include <QString>
#include <QVariant>

// The native store behind the page's myobject.myval: one string. The page
// keeps a copy so reads stay synchronous, and rejects non-strings itself;
// this side checks again what arrives.
class MyV8Accessor : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // False for a name other than "myval".
    bool Get(const QString& name, QString* retval) const;
    // For "myval": stores a string, or sets *exception to "Invalid value type"
    // and keeps the stored value. False for any other name.
    bool Set(const QString& name, const QVariant& value, QString* exception);

    // For the page.
    Q_INVOKABLE QString Store(const QString& name, const QVariant& value);

    void Clear() { value_.clear(); }

  private:
    QString value_;
};
