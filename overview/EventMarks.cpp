#include "overview/EventMarks.h"

#include "overview/OverviewData.h"
#include "strings/UiStrings.h"

#include <QJsonObject>

QString EventLabel(const DrivingEvent& event, const QStringList& kinds, const FigureTexts& texts) {
    const int kind = int(event.kind);
    QString text = kind < kinds.size() ? kinds[kind] : QString::number(kind);
    text += QStringLiteral(", ") + FigureTexts::LocalTime(event.utcMs, "HH:mm:ss");
    if (event.kind == DrivingEventKind::SpeedOnlyBraking)
        text += QStringLiteral(", ") + texts.SpeedChange(event.peak);
    else if (event.kind != DrivingEventKind::CameraEvent)
        text += QStringLiteral(", %1 g").arg(event.peak, 0, 'f', 2);
    return text;
}

QJsonArray EventMarks(const OverviewData& data, const FigureTexts& texts) {
    QJsonArray marks;
    const QStringList kinds = LoadUiString(UiStringId::kOverviewEventKinds).split(QLatin1Char('|'));
    const std::vector<DrivingEvent>& events = data.Events();
    for (size_t i = 0; i < events.size(); ++i) {
        const DrivingEvent& e = events[i];
        if (!e.hasPosition)
            continue;
        marks.append(QJsonObject{{"i", int(i)},
                                 {"lat", e.latitude},
                                 {"lon", e.longitude},
                                 {"kind", int(e.kind)},
                                 {"label", EventLabel(e, kinds, texts)}});
    }
    return marks;
}

QColor EventColour(DrivingEventKind kind) {
    static const QColor kColours[] = {QColor("#d7191c"), QColor("#1a9641"), QColor("#7b3294"),
                                      QColor("#000000"), QColor("#fdae61"), QColor("#2b83ba")};
    return kColours[int(kind) % 6];
}
