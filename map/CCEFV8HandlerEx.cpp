#include "map/CCEFV8HandlerEx.h"

#include "platform/widgets/MessageBox.h"

#include <QApplication>

namespace {

// A value that is not a string reads as empty text.
QString StringValue(const QVariant& v) {
    return v.typeId() == QMetaType::QString ? v.toString() : QString();
}

constexpr int kMaxTextChars = 511;

} // namespace

bool CCEFV8HandlerEx::Execute(const QString& name, const QVariantList& arguments, int* retval) {
    if (name == QLatin1String("routePointClicked")) {
        bool number = false;
        const int point = arguments.size() == 1 ? arguments[0].toInt(&number) : -1;
        *retval = number && point >= 0 ? 0 : 2;
        if (*retval == 0)
            emit RoutePointClicked(point);
        return true;
    }
    if (name != QLatin1String("jsInvokeCPlusPlus"))
        return false;
    if (arguments.size() != 2) {
        *retval = 2;
        return true;
    }
    const QString text = QStringLiteral("jsInvokeCPlusPlus(%1,%2)")
                             .arg(StringValue(arguments[0]), StringValue(arguments[1]))
                             .left(kMaxTextChars);
    ShowMessageBox(QApplication::activeWindow(), text, QStringLiteral("jsInvokeCPlusPlus"),
                   MbButtons::Ok);
    *retval = 0;
    return true;
}

QVariant CCEFV8HandlerEx::Invoke(const QString& name, const QVariantList& arguments) {
    int retval = 0;
    if (!Execute(name, arguments, &retval))
        return QVariant();
    return retval;
}
