// The part of the Baidu Map JavaScript API 1.3 (BMap.*) and of its coordinate
// converter that our China map page uses, drawn with Leaflet over
// OpenStreetMap tiles. As with the provider, points given to the map are in
// its own datum (BD-09); they are turned back into WGS-84 only to be drawn on
// the tiles. Needs Leaflet, gcoord and canvas-line.js.
(function () {
  "use strict";
  if (window.BMap) return; // the provider's API is loaded

  // The program hands over the tile source chosen in its settings.
  var tiles = window.halvexTiles || {};
  var TILE_URL = tiles.url || "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
  var ATTRIBUTION = tiles.url ? (tiles.attribution || "") :
      '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors';

  function Point(lng, lat) {
    this.lng = Number(lng);
    this.lat = Number(lat);
  }
  Point.prototype.equals = function (o) { return !!o && o.lng === this.lng && o.lat === this.lat; };

  // Where a map point lies on the WGS-84 tiles; kept on the point together
  // with the coordinates it belongs to, since a route is drawn again and again.
  function keepWgs(p, wgs) {
    p._wgs = wgs;
    p._wgsOfLng = p.lng;
    p._wgsOfLat = p.lat;
  }
  function toLeaflet(p) {
    if (!p._wgs || p._wgsOfLng !== p.lng || p._wgsOfLat !== p.lat) {
      var w = gcoord.transform([p.lng, p.lat], gcoord.BD09, gcoord.WGS84);
      keepWgs(p, [w[1], w[0]]);
    }
    return p._wgs;
  }
  function fromLeaflet(latlng) {
    var b = gcoord.transform([latlng.lng, latlng.lat], gcoord.WGS84, gcoord.BD09);
    return new Point(b[0], b[1]);
  }

  function Map(container, options) {
    var element = typeof container === "string" ? document.getElementById(container) : container;
    options = options || {};
    // The provider's map starts without wheel zoom and keyboard.
    this._leaflet = L.map(element, {
      zoomControl: false,
      scrollWheelZoom: false,
      keyboard: false,
      zoomAnimation: false,
      fadeAnimation: false,
      minZoom: options.minZoom,
      maxZoom: options.maxZoom
    });
    L.tileLayer(TILE_URL, { maxZoom: 19, attribution: ATTRIBUTION }).addTo(this._leaflet);
    this._center = null;
    this._overlays = [];
  }
  Map.prototype.centerAndZoom = function (point, zoom) {
    this._center = point;
    this._leaflet.setView(toLeaflet(point), zoom, { animate: false });
  };
  Map.prototype.panTo = function (point) {
    this._center = point;
    this._leaflet.setView(toLeaflet(point), this._leaflet.getZoom(), { animate: false });
  };
  Map.prototype.setCenter = Map.prototype.panTo;
  Map.prototype.getCenter = function () {
    if (this._center) return this._center;
    var c = this._leaflet.getCenter();
    var b = gcoord.transform([c.lng, c.lat], gcoord.WGS84, gcoord.BD09);
    return new Point(b[0], b[1]);
  };
  Map.prototype.getZoom = function () { return this._leaflet.getZoom(); };
  Map.prototype.setZoom = function (z) { this._leaflet.setZoom(z, { animate: false }); };
  Map.prototype.enableScrollWheelZoom = function () { this._leaflet.scrollWheelZoom.enable(); };
  Map.prototype.disableScrollWheelZoom = function () { this._leaflet.scrollWheelZoom.disable(); };
  Map.prototype.enableKeyboard = function () { this._leaflet.keyboard.enable(); };
  Map.prototype.disableKeyboard = function () { this._leaflet.keyboard.disable(); };
  Map.prototype.addControl = function (control) { control._addTo(this); };
  Map.prototype.addOverlay = function (overlay) {
    if (this._overlays.indexOf(overlay) >= 0) return;
    this._overlays.push(overlay);
    overlay._map = this;
    overlay._layer.addTo(this._leaflet);
  };
  Map.prototype.removeOverlay = function (overlay) {
    var i = this._overlays.indexOf(overlay);
    if (i < 0) return;
    this._overlays.splice(i, 1);
    overlay._map = null;
    overlay._layer.remove();
  };
  Map.prototype.getOverlays = function () { return this._overlays.slice(); };

  function NavigationControl(options) { this._type = (options && options.type) || 0; }
  NavigationControl.prototype._addTo = function (map) {
    L.control.zoom({ position: "topleft" }).addTo(map._leaflet);
  };

  function Marker(point) {
    this._point = point;
    this._map = null;
    this._layer = L.marker(toLeaflet(point));
  }
  Marker.prototype.getPosition = function () { return this._point; };
  Marker.prototype.setPosition = function (point) {
    this._point = point;
    this._layer.setLatLng(toLeaflet(point));
  };

  function Polyline(points, options) {
    options = options || {};
    this._options = {
      strokeColor: options.strokeColor || "blue",
      strokeWeight: options.strokeWeight !== undefined ? options.strokeWeight : 2,
      strokeOpacity: options.strokeOpacity !== undefined ? options.strokeOpacity : 0.65
    };
    this._layer = new CanvasLine({
      color: this._options.strokeColor,
      weight: this._options.strokeWeight,
      opacity: this._options.strokeOpacity
    });
    this._map = null;
    this.setPath(points || []);
  }
  // Like the provider's, the array handed in is the line's own.
  Polyline.prototype.getPath = function () { return this._points; };
  Polyline.prototype.setPath = function (points) {
    this._points = points;
    this._layer.show(points, toLeaflet);
  };
  Polyline.prototype.getStrokeColor = function () { return this._options.strokeColor; };
  Polyline.prototype.getStrokeWeight = function () { return this._options.strokeWeight; };
  Polyline.prototype.getStrokeOpacity = function () { return this._options.strokeOpacity; };
  Polyline.prototype._drawnLength = function () { return this._layer.drawnLength(); };
  Polyline.prototype._drawnLatLngs = function () { return this._layer.drawnLatLngs(); };
  // A listener makes the line clickable; clicks report where they hit, in
  // the map's own coordinates.
  Polyline.prototype.addEventListener = function (name, handler) {
    this._layer.on(name, function (e) { handler({ point: fromLeaflet(e.latlng) }); });
  };

  // Type 0: GPS (WGS-84); type 2: the Chinese national datum (GCJ-02). The
  // answer comes asynchronously, as from the provider's service. A point
  // converted from GPS keeps where it lies on the WGS-84 tiles, so drawing it
  // needs no conversion back.
  function convert(point, type) {
    var from = type === 2 ? gcoord.GCJ02 : gcoord.WGS84;
    var b = gcoord.transform([point.lng, point.lat], from, gcoord.BD09);
    var converted = new Point(b[0], b[1]);
    if (from === gcoord.WGS84)
      keepWgs(converted, [point.lat, point.lng]);
    return converted;
  }
  var Convertor = {
    translate: function (point, type, callback) {
      Promise.resolve().then(function () { callback(convert(point, type)); });
    },
    // Ours: a list converted in one answer, handed back in order.
    translateMore: function (points, type, callback) {
      Promise.resolve().then(function () {
        callback(points.map(function (point) { return convert(point, type); }));
      });
    }
  };

  window.BMAP_NAVIGATION_CONTROL_LARGE = 0;
  window.BMAP_NAVIGATION_CONTROL_SMALL = 1;
  window.BMAP_NAVIGATION_CONTROL_PAN = 2;
  window.BMAP_NAVIGATION_CONTROL_ZOOM = 3;
  window.BMap = {
    Point: Point,
    Map: Map,
    Marker: Marker,
    Polyline: Polyline,
    NavigationControl: NavigationControl,
    Convertor: Convertor
  };
})();
