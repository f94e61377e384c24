#pragma once
class RecordingCatalog;

// The GPS point index of the k-th point the route plotting sends to the
// page for the current recording (the page's route holds only the points
// that pass the plotting's skipping rules); -1 when there is no such point.
int RoutePointGpsIndex(const RecordingCatalog& catalog, int routePoint);
