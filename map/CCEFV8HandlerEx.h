#pragma once
#include <QObject>
#include <QVariant>
#include <QVariantList>

// The native side of app.jsInvokeCPlusPlus. Pages reach it through the web
// channel; the page's call returns a promise of the result.
class CCEFV8HandlerEx : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // False when the name is not ours. With two arguments the text
    // "jsInvokeCPlusPlus(a,b)" is shown in a box and the result is 0; any
    // other count gives 2 and shows nothing.
    bool Execute(const QString& name, const QVariantList& arguments, int* retval);

    // For the page: the result, or null when the call was not handled.
    Q_INVOKABLE QVariant Invoke(const QString& name, const QVariantList& arguments);

  signals:
    // "routePointClicked" with one number: the map page's route was clicked
    // nearest to its point of that index.
    void RoutePointClicked(int routePoint);
};
