#pragma once

// Distances for drawing and picking on the overview map. Short distances
// only (a click's radius, a line's tolerance): an equirectangular projection
// around the points is well within a pixel there.
double GroundDistanceM(double lat1, double lon1, double lat2, double lon2);

// Ground metres per screen pixel of a web map at a zoom level and latitude.
double MetresPerPixel(double latitude, int zoom);

// Where a place lies on the whole web map at a zoom level, in pixels from
// its top left corner (spherical Mercator of 256-pixel tiles, as the page's
// map projects it; latitudes beyond the map's edge are held at the edge).
struct WorldPixel {
    double x = 0, y = 0;
};
WorldPixel WorldPixelOf(double latitude, double longitude, int zoom);

// The zoom level at which a web map of `width` × `height` pixels shows a
// box whole with `padding` pixels on each side, in whole steps and at most
// `maxZoom`, as the page's map fits it.
int FitZoom(double south, double west, double north, double east, int width, int height,
            int padding, int maxZoom);
