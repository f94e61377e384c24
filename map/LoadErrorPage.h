#pragma once
#include <QString>

// The page shown in place of one that failed to load. URL and error text come
// from outside and are escaped, so a crafted address cannot inject markup.
QString LoadErrorPageHtml(const QString& failedUrl, const QString& errorText, int errorCode);
