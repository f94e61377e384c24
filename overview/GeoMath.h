#pragma once

// Distances for drawing and picking on the overview map. Short distances
// only (a click's radius, a line's tolerance): an equirectangular projection
// around the points is well within a pixel there.
double GroundDistanceM(double lat1, double lon1, double lat2, double lon2);

// Ground metres per screen pixel of a web map at a zoom level and latitude.
double MetresPerPixel(double latitude, int zoom);
