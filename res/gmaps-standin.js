// The part of the Google Maps JavaScript API (google.maps.*) that our map page
// uses, drawn with Leaflet over OpenStreetMap tiles. Lines and markers are
// vector overlays, so they show even when no tile can be loaded. Needs Leaflet
// and canvas-line.js.
(function () {
  "use strict";
  if (window.google && window.google.maps) return; // the provider's API is loaded

  // The program hands over the tile source chosen in its settings.
  var tiles = window.halvexTiles || {};
  var TILE_URL = tiles.url || "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
  var ATTRIBUTION = tiles.url ? (tiles.attribution || "") :
      '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors';

  function LatLng(lat, lng) {
    this._lat = Number(lat);
    this._lng = Number(lng);
  }
  LatLng.prototype.lat = function () { return this._lat; };
  LatLng.prototype.lng = function () { return this._lng; };
  LatLng.prototype.equals = function (o) { return !!o && o.lat() === this._lat && o.lng() === this._lng; };
  LatLng.prototype.toString = function () { return "(" + this._lat + ", " + this._lng + ")"; };

  function toLatLng(p) {
    if (p instanceof LatLng) return p;
    return new LatLng(typeof p.lat === "function" ? p.lat() : p.lat,
                      typeof p.lng === "function" ? p.lng() : p.lng);
  }
  function toLeaflet(p) { p = toLatLng(p); return [p.lat(), p.lng()]; }

  function MVCArray(items) {
    this._items = items ? items.slice() : [];
    this._onChange = null;
  }
  MVCArray.prototype._changed = function () { if (this._onChange) this._onChange(); };
  MVCArray.prototype.getArray = function () { return this._items; };
  MVCArray.prototype.getLength = function () { return this._items.length; };
  MVCArray.prototype.getAt = function (i) { return this._items[i]; };
  MVCArray.prototype.forEach = function (f) { this._items.forEach(f); };
  MVCArray.prototype.push = function (v) { var n = this._items.push(v); this._changed(); return n; };
  MVCArray.prototype.pop = function () { var v = this._items.pop(); this._changed(); return v; };
  MVCArray.prototype.insertAt = function (i, v) { this._items.splice(i, 0, v); this._changed(); };
  MVCArray.prototype.removeAt = function (i) { var v = this._items.splice(i, 1)[0]; this._changed(); return v; };
  MVCArray.prototype.setAt = function (i, v) { this._items[i] = v; this._changed(); };
  MVCArray.prototype.clear = function () { this._items.length = 0; this._changed(); };

  function Map(element, options) {
    options = options || {};
    this._leaflet = L.map(element, {
      center: options.center ? toLeaflet(options.center) : [0, 0],
      zoom: options.zoom !== undefined ? options.zoom : 2,
      zoomAnimation: false,
      fadeAnimation: false
    });
    L.tileLayer(TILE_URL, { maxZoom: 19, attribution: ATTRIBUTION }).addTo(this._leaflet);
    this._mapTypeId = options.mapTypeId || "roadmap";
  }
  Map.prototype.setCenter = function (p) {
    this._leaflet.setView(toLeaflet(p), this._leaflet.getZoom(), { animate: false });
  };
  Map.prototype.panTo = Map.prototype.setCenter;
  Map.prototype.getCenter = function () {
    var c = this._leaflet.getCenter();
    return new LatLng(c.lat, c.lng);
  };
  Map.prototype.getZoom = function () { return this._leaflet.getZoom(); };
  Map.prototype.setZoom = function (z) { this._leaflet.setZoom(z, { animate: false }); };
  Map.prototype.getMapTypeId = function () { return this._mapTypeId; };
  Map.prototype.setMapTypeId = function (id) { this._mapTypeId = id; };
  Map.prototype.getDiv = function () { return this._leaflet.getContainer(); };

  // Overlays share the add/remove bookkeeping.
  function attach(overlay, map) {
    if (overlay._map === map) return;
    if (overlay._map) overlay._layer.remove();
    overlay._map = map || null;
    if (overlay._map) overlay._layer.addTo(overlay._map._leaflet);
  }

  function Marker(options) {
    options = options || {};
    this._position = options.position ? toLatLng(options.position) : new LatLng(0, 0);
    this._title = options.title || "";
    this._icon = options.icon;
    this._layer = L.marker(toLeaflet(this._position), { icon: leafletIcon(this._icon), title: this._title });
    this._map = null;
    if (options.map) attach(this, options.map);
  }
  function leafletIcon(icon) {
    if (!icon) return new L.Icon.Default();
    var url = typeof icon === "string" ? icon : icon.url;
    // Our car picture is 32 x 24; the marker's point is its centre.
    return L.icon({ iconUrl: url, iconSize: [32, 24], iconAnchor: [16, 12] });
  }
  Marker.prototype.setPosition = function (p) {
    this._position = toLatLng(p);
    this._layer.setLatLng(toLeaflet(this._position));
  };
  Marker.prototype.getPosition = function () { return this._position; };
  Marker.prototype.setMap = function (map) { attach(this, map); };
  Marker.prototype.getMap = function () { return this._map; };
  Marker.prototype.getTitle = function () { return this._title; };
  Marker.prototype.getIcon = function () { return this._icon; };
  Marker.prototype.setIcon = function (icon) { this._icon = icon; this._layer.setIcon(leafletIcon(icon)); };

  function Polyline(options) {
    options = options || {};
    this._options = {
      strokeColor: options.strokeColor || "#000000",
      strokeOpacity: options.strokeOpacity !== undefined ? options.strokeOpacity : 1.0,
      strokeWeight: options.strokeWeight !== undefined ? options.strokeWeight : 3
    };
    this._layer = new CanvasLine({
      color: this._options.strokeColor,
      opacity: this._options.strokeOpacity,
      weight: this._options.strokeWeight
    });
    this._map = null;
    this.setPath(options.path || []);
    if (options.map) attach(this, options.map);
  }
  Polyline.prototype.setPath = function (path) {
    this._path = path instanceof MVCArray ? path : new MVCArray((path || []).map(toLatLng));
    var self = this;
    this._path._onChange = function () { self._show(); };
    this._show();
  };
  Polyline.prototype.getPath = function () { return this._path; };
  Polyline.prototype.setMap = function (map) { attach(this, map); };
  Polyline.prototype.getMap = function () { return this._map; };
  Polyline.prototype.get = function (key) { return this._options[key]; };
  Polyline.prototype._show = function () { this._layer.show(this._path.getArray(), toLeaflet); };
  // How many points the drawn line holds now (it follows the path at the end
  // of the running script).
  Polyline.prototype._drawnLength = function () { return this._layer.drawnLength(); };
  Polyline.prototype._drawnLatLngs = function () { return this._layer.drawnLatLngs(); };
  // A listener makes the line clickable; clicks report where they hit.
  Polyline.prototype._addListener = function (name, handler) {
    this._layer.on(name, function (e) {
      handler({ latLng: new LatLng(e.latlng.lat, e.latlng.lng) });
    });
  };

  var event = {
    addListener: function (target, name, handler) {
      if (target && target._addListener) target._addListener(name, handler);
      return { remove: function () {} };
    }
  };

  window.google = window.google || {};
  window.google.maps = {
    LatLng: LatLng,
    MVCArray: MVCArray,
    Map: Map,
    Marker: Marker,
    Polyline: Polyline,
    event: event,
    MapTypeId: { ROADMAP: "roadmap", SATELLITE: "satellite", HYBRID: "hybrid", TERRAIN: "terrain" }
  };
})();
