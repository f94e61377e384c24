#include "overview/OverviewBridge.h"

void OverviewBridge::Ready() {
    emit PageReady();
}

void OverviewBridge::AskLines(int zoom, int card) {
    emit LinesAsked(zoom, card);
}

void OverviewBridge::HoverRoute(int trip, double latitude, double longitude) {
    emit RouteHovered(trip, latitude, longitude);
}

void OverviewBridge::ClickRoute(int trip, double latitude, double longitude) {
    emit RouteClicked(trip, latitude, longitude);
}

void OverviewBridge::ClickEvent(int event) {
    emit EventClicked(event);
}

void OverviewBridge::AskEventMenu(int event, double latitude, double longitude) {
    emit EventMenuAsked(event, latitude, longitude);
}

void OverviewBridge::AskMapMenu(double latitude, double longitude) {
    emit MapMenuAsked(latitude, longitude);
}

void OverviewBridge::ClickMap(double latitude, double longitude) {
    emit MapClicked(latitude, longitude);
}

void OverviewBridge::DragBox(double lat1, double lon1, double lat2, double lon2) {
    emit BoxDragged(lat1, lon1, lat2, lon2);
}
