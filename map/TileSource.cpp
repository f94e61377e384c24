#include "map/TileSource.h"

#include "settings/AppSettings.h"

#include <QJsonDocument>
#include <QJsonObject>

TileSource TileSource::Default() {
    return {QStringLiteral("https://tile.openstreetmap.org/{z}/{x}/{y}.png"),
            QStringLiteral("&copy; <a href=\"https://www.openstreetmap.org/copyright\">"
                           "OpenStreetMap</a> contributors")};
}

TileSource TileSource::FromSettings() {
    const AppSettings& settings = AppSettings::Instance();
    const QString url = settings.Read(SettingKeys::kTileUrl).trimmed();
    if (!IsUsableTemplate(url))
        return Default();
    return {url, settings.Read(SettingKeys::kTileAttribution)};
}

bool TileSource::IsUsableTemplate(const QString& urlTemplate) {
    const QUrl url(QString(urlTemplate).replace(QLatin1String("{s}"), QLatin1String("a")));
    return url.isValid() && (url.scheme() == "https" || url.scheme() == "http") &&
           !url.host().isEmpty() && urlTemplate.contains("{z}") && urlTemplate.contains("{x}") &&
           urlTemplate.contains("{y}");
}

bool TileSource::CouldServe(const QUrl& url) const {
    const int at = urlTemplate.indexOf(QLatin1String("://"));
    if (at < 0 || url.scheme() != urlTemplate.left(at))
        return false;
    const QUrl pattern(QString(urlTemplate).replace(QLatin1String("{s}"), QLatin1String("s")));
    const QString host = pattern.host();
    const QString requested = url.host();
    if (!urlTemplate.contains(QLatin1String("{s}.")))
        return requested == host && url.port() == pattern.port();
    // "{s}.example.org": one more label in front of the rest.
    const QString rest = host.mid(host.indexOf('.'));
    return requested.endsWith(rest) &&
           !requested.left(requested.size() - rest.size()).contains('.') &&
           requested.size() > rest.size() && url.port() == pattern.port();
}

QString TileSource::PageScript() const {
    const QJsonObject source{{"url", urlTemplate}, {"attribution", attribution}};
    return QStringLiteral("window.halvexTiles = %1;\n")
        .arg(QString::fromUtf8(QJsonDocument(source).toJson(QJsonDocument::Compact)));
}
