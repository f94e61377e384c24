#pragma once
#include <QJsonArray>
#include <QObject>
#include <QString>
#include <QStringList>

// What the overview's map page and the program say to each other, published
// on the page's web channel. The page's clicks and questions come in through
// the invokable methods and go on to the window as signals; what the page
// shows goes out as signals the page listens to. Every value is a typed
// argument: no script is ever made of data.
class OverviewBridge : public QObject {
    Q_OBJECT
  public:
    // The name the page finds it under on the channel.
    static constexpr char kChannelName[] = "overview";

    using QObject::QObject;

    // Called by the page.
    Q_INVOKABLE void Ready();
    Q_INVOKABLE void AskLines(int zoom, int card);
    Q_INVOKABLE void HoverRoute(int trip, double latitude, double longitude);
    Q_INVOKABLE void ClickRoute(int trip, double latitude, double longitude);
    Q_INVOKABLE void ClickEvent(int event);
    // A right click on an event's mark or elsewhere on the map, at the place.
    Q_INVOKABLE void AskEventMenu(int event, double latitude, double longitude);
    Q_INVOKABLE void AskMapMenu(double latitude, double longitude);
    Q_INVOKABLE void ClickMap(double latitude, double longitude);
    // Two corners of a box dragged on the map, as the map gives them.
    Q_INVOKABLE void DragBox(double lat1, double lon1, double lat2, double lon2);

  signals:
    // From the page, for the window.
    void PageReady();
    void LinesAsked(int zoom, int card);
    void RouteHovered(int trip, double latitude, double longitude);
    void RouteClicked(int trip, double latitude, double longitude);
    void EventClicked(int event);
    void EventMenuAsked(int event, double latitude, double longitude);
    void MapMenuAsked(double latitude, double longitude);
    void MapClicked(double latitude, double longitude);
    void BoxDragged(double lat1, double lon1, double lat2, double lon2);

    // For the page.
    // A level's lines (RouteLayers::ForZoom) as JSON text: the page's engine
    // parses one string faster than it reads the same values as a value of
    // the channel's message.
    void LinesMade(int zoom, int card, const QString& json);
    // The lines of every level are new: those asked before are dropped.
    void LinesChanged();
    // The event marks as EventMarks makes them.
    void EventsChanged(const QJsonArray& marks);
    // The event kinds' names in the order of DrivingEventKind, and the
    // heading of their legend.
    void EventKindsNamed(const QStringList& kinds, const QString& heading);
    // The trips on show (the day chosen), or every trip when `all`.
    void TripsShown(bool all, const QJsonArray& trips);
    // "trip" or "speed", and the speed bands' legend texts.
    void ColouringChanged(const QString& how);
    void SpeedBandsChanged(const QStringList& legend);
    void TripSelected(int trip);
    // The map fitted to a box; `fresh` when its lines are new, by the padding
    // and most zoom the lines ahead were made for.
    void FitAsked(double south, double west, double north, double east, bool fresh, int padding,
                  int maxZoom);
    void RouteTipMade(const QString& text, double latitude, double longitude);
    void PlaceShown(double latitude, double longitude, double radiusM);
    void BoxShown(double south, double west, double north, double east);
    // The privacy zones: objects of lat, lon and r (the radius in metres).
    void ZonesChanged(const QJsonArray& zones);
};
