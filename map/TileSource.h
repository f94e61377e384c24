#pragma once
#include <QString>
#include <QUrl>

// Where the map pages take their tiles from: an XYZ URL template
// ("https://{s}.tile.example/{z}/{x}/{y}.png") and the attribution the
// source asks to be shown. Settable in Halvex.ini, [MAP] TileUrl and
// TileAttribution; OpenStreetMap's own servers otherwise.
struct TileSource {
    QString urlTemplate;
    QString attribution;

    static TileSource Default();
    // The settings' source; the default for a missing or unusable template.
    static TileSource FromSettings();

    // True for an http(s) template with {z}, {x} and {y}.
    static bool IsUsableTemplate(const QString& urlTemplate);
    // True when the URL could be one of this source's tiles: same scheme,
    // and the same host, any sub-domain standing for {s}.
    bool CouldServe(const QUrl& url) const;
    // The script that hands the source to the pages before their own scripts run.
    QString PageScript() const;
};
