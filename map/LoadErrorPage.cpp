#include "map/LoadErrorPage.h"

QString LoadErrorPageHtml(const QString& failedUrl, const QString& errorText, int errorCode) {
    return QStringLiteral("<html><body bgcolor=\"white\"><h2>Failed to load URL ") +
           failedUrl.toHtmlEscaped() + QStringLiteral(" with error ") + errorText.toHtmlEscaped() +
           QStringLiteral(" (") + QString::number(errorCode) +
           QStringLiteral(").</h2></body></html>");
}
