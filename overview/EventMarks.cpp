#include "overview/EventMarks.h"

#include "overview/OverviewData.h"
#include "strings/UiStrings.h"

#include <QJsonObject>
#include <algorithm>
#include <numeric>

namespace {
constexpr int64_t kSameMomentMs = 1000;
} // namespace

QString EventLabel(const DrivingEvent& event, const QStringList& kinds, const FigureTexts& texts) {
    const int kind = int(event.kind);
    QString text = kind < kinds.size() ? kinds[kind] : QString::number(kind);
    text += QStringLiteral(", ") + FigureTexts::LocalTime(event.utcMs, "yyyy-MM-dd HH:mm:ss");
    if (event.kind == DrivingEventKind::SpeedOnlyBraking)
        text += QStringLiteral(", ") + texts.SpeedChange(event.peak);
    else if (event.kind != DrivingEventKind::CameraEvent)
        text += QStringLiteral(", %1 g").arg(event.peak, 0, 'f', 2);
    return text;
}

int EventWeight(DrivingEventKind kind) {
    switch (kind) {
    case DrivingEventKind::Impact:
        return 5;
    case DrivingEventKind::HarshBraking:
        return 4;
    case DrivingEventKind::SharpCornering:
        return 3;
    case DrivingEventKind::HarshAcceleration:
        return 2;
    case DrivingEventKind::SpeedOnlyBraking:
        return 1;
    case DrivingEventKind::CameraEvent:
        return 0;
    }
    return 0;
}

std::vector<EventGroup> GroupEvents(const std::vector<DrivingEvent>& events,
                                    const std::vector<bool>& take) {
    std::vector<int> order;
    for (size_t i = 0; i < events.size(); ++i)
        if (take.empty() || (i < take.size() && take[i]))
            order.push_back(int(i));
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const DrivingEvent &x = events[size_t(a)], &y = events[size_t(b)];
        return x.recording != y.recording ? x.recording < y.recording : x.utcMs < y.utcMs;
    });
    std::vector<EventGroup> groups;
    for (size_t k = 0; k < order.size(); ++k) {
        const DrivingEvent& e = events[size_t(order[k])];
        const DrivingEvent* before = k > 0 ? &events[size_t(order[k - 1])] : nullptr;
        if (!before || before->recording != e.recording || e.utcMs - before->utcMs > kSameMomentMs)
            groups.push_back({});
        groups.back().events.push_back(order[k]);
    }
    for (EventGroup& g : groups)
        g.lead = *std::max_element(g.events.begin(), g.events.end(), [&](int a, int b) {
            return EventWeight(events[size_t(a)].kind) < EventWeight(events[size_t(b)].kind);
        });
    std::stable_sort(groups.begin(), groups.end(), [&](const EventGroup& a, const EventGroup& b) {
        return EventWeight(events[size_t(a.lead)].kind) < EventWeight(events[size_t(b.lead)].kind);
    });
    return groups;
}

QString GroupLabel(const EventGroup& group, const std::vector<DrivingEvent>& events,
                   const QStringList& kinds, const FigureTexts& texts) {
    QStringList lines;
    for (int e : group.events)
        lines << EventLabel(events[size_t(e)], kinds, texts);
    return lines.join(QLatin1Char('\n'));
}

QJsonArray EventMarks(const OverviewData& data, const FigureTexts& texts) {
    QJsonArray marks;
    const QStringList kinds = LoadUiString(UiStringId::kOverviewEventKinds).split(QLatin1Char('|'));
    const std::vector<DrivingEvent>& events = data.Events();
    // Each recording's trip once: a card holds thousands of events.
    std::vector<int> tripOf(data.Recordings().size(), -1);
    for (size_t t = 0; t < data.Trips().size(); ++t)
        for (int r : data.Trips()[t].recordings)
            if (r >= 0 && size_t(r) < tripOf.size())
                tripOf[size_t(r)] = int(t);
    std::vector<bool> placed(events.size());
    for (size_t i = 0; i < events.size(); ++i)
        placed[i] = events[i].hasPosition;
    for (const EventGroup& g : GroupEvents(events, placed)) {
        const DrivingEvent& lead = events[size_t(g.lead)];
        QJsonArray groupKinds;
        for (int e : g.events)
            groupKinds.append(int(events[size_t(e)].kind));
        marks.append(QJsonObject{{"i", g.lead},
                                 {"t", lead.recording >= 0 && size_t(lead.recording) < tripOf.size()
                                           ? tripOf[size_t(lead.recording)]
                                           : -1},
                                 {"n", int(g.events.size())},
                                 {"lat", lead.latitude},
                                 {"lon", lead.longitude},
                                 {"kind", int(lead.kind)},
                                 {"kinds", groupKinds},
                                 {"label", GroupLabel(g, events, kinds, texts)}});
    }
    return marks;
}

QColor EventColour(DrivingEventKind kind) {
    // Away from the speed scale's blue, green, yellow, orange and red.
    static const QColor kColours[] = {QColor("#e7298a"), QColor("#7570b3"), QColor("#a6761d"),
                                      QColor("#000000"), QColor("#f4a6d7"), QColor("#737373")};
    return kColours[int(kind) % 6];
}
