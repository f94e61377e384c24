// The card overview: every trip's route, the driving events and the answer
// to "when was I here?". The program hands the lines over already thinned
// for the zoom level; every click and hover is answered by the program.
(function () {
  "use strict";
  window.onerror = function (message, source, line) {
    console.error("script error: " + message + " (" + source + ":" + line + ")");
    return true;
  };

  var tiles = window.halvexTiles || {};
  var TILE_URL = tiles.url || "https://tile.openstreetmap.org/{z}/{x}/{y}.png";
  var ATTRIBUTION = tiles.url ? (tiles.attribution || "") :
      '&copy; <a href="https://www.openstreetmap.org/copyright">OpenStreetMap</a> contributors';

  // Lower bounds in km/h of the bands the program sends (b); for the legend.
  var SPEED_STEPS = [0, 30, 60, 90, 120];
  var SPEED_COLOURS = ["#2166ac", "#1a9850", "#e6c200", "#f46d43", "#b2182b"];
  var TRIP_COLOURS = ["#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#17becf",
                      "#e377c2", "#8c564b", "#bcbd22", "#393b79"];
  var HIT_TOLERANCE = 6; // pixels from a line that still take its click
  var EVENT_COLOURS = ["#d7191c", "#1a9641", "#7b3294", "#000000", "#fdae61", "#2b83ba"];

  var map, routeLayer, nearLayer, legend;
  var trips = [], events = [], colouring = "trip", selected = -1, zoomAsked = -1, zoomDrawn = -1;
  var zoomFramed = -1, framedAt = 0; // the level whose lines have reached the screen, and when
  var levels = {}, cardCount = 0, legendKey = ""; // lines per zoom level asked for, of the card on show
  var waiting = {}; // per zoom level asked for, what takes its lines
  var MAX_ZOOM = 19;
  var hoverTip = null, markTip = null, hoverPending = false, overMark = false;

  function call() {
    var args = Array.prototype.slice.call(arguments);
    if (!window.app || !app.jsInvokeCPlusPlus)
      return Promise.resolve(null);
    return app.jsInvokeCPlusPlus.apply(null, args);
  }

  function bandColour(band) { return SPEED_COLOURS[Math.max(0, Math.min(band, 4))]; }

  function tripColour(t) { return TRIP_COLOURS[t % TRIP_COLOURS.length]; }

  function lineStyle(t) {
    var faded = selected >= 0 && t !== selected;
    return { colour: tripColour(t), weight: t === selected ? 6 : 4, opacity: faded ? 0.35 : 0.9 };
  }

  function applyStyle() {
    routeLayer.setStyle(lineStyle, colouring === "speed", bandColour);
  }

  function hover(t, latlng) {
    if (hoverPending) return;
    hoverPending = true;
    call("routeHover", t, latlng.lat, latlng.lng).then(function (text) {
      hoverPending = false;
      if (!text || overMark) return;
      if (!hoverTip) hoverTip = L.tooltip({ direction: "top", offset: [0, -8] });
      hoverTip.setLatLng(latlng).setContent(String(text));
      map.openTooltip(hoverTip);
    });
  }

  // Written again only when what it lists changes, not at every zoom.
  function drawLegend() {
    var key = colouring + " " + cardCount + " " + trips.length;
    if (key === legendKey) return;
    legendKey = key;
    var div = legend.getContainer();
    var html = "";
    if (colouring === "speed") {
      for (var i = 0; i < SPEED_STEPS.length; ++i) {
        var upper = i + 1 < SPEED_STEPS.length ? "\u2013" + SPEED_STEPS[i + 1] : "+";
        html += '<div><i style="background:' + SPEED_COLOURS[i] + '"></i>' + SPEED_STEPS[i] +
                upper + " km/h</div>";
      }
    } else {
      // The colours repeat after these many trips: a longer list says no more.
      trips.slice(0, TRIP_COLOURS.length).forEach(function (trip) {
        html += '<div><i style="background:' + tripColour(trip.t) + '"></i>' +
                L.Util.template("{label}", { label: trip.label || ("#" + (trip.t + 1)) }) +
                "</div>";
      });
      if (trips.length > TRIP_COLOURS.length) html += "<div>\u2026</div>";
    }
    div.innerHTML = html;
  }

  // The lines of a level, asked for once: the levels next to the one on
  // show are asked for ahead, so a zoom step draws its own level at once.
  function fetchLevel(z) {
    if (z < 0 || z > MAX_ZOOM) return Promise.resolve(null);
    if (!levels[z]) {
      var card = cardCount;
      levels[z] = new Promise(function (resolve) { waiting[z] = resolve; });
      // The program answers with ov.lines, or false when it has no page.
      call("routes", z, card).then(function (sent) {
        if (!sent) ov.lines(z, card, null);
      });
    }
    return levels[z];
  }

  // New lines from the program: what was asked before is dropped.
  function forgetLevels() {
    ++cardCount;
    Object.keys(waiting).forEach(function (z) { waiting[z](null); });
    waiting = {};
    levels = {};
    zoomAsked = -1;
    zoomFramed = -1;
  }

  function askRoutes() {
    var z = map.getZoom();
    if (z === zoomAsked) return;
    zoomAsked = z;
    fetchLevel(z).then(function (lines) {
      if (z !== map.getZoom() || !lines) return;
      // The legend needs only the names; the layer keeps the lines.
      trips = lines.map(function (trip) { return { t: trip.t, label: trip.label }; });
      drawLegend();
      zoomDrawn = z;
      Object.keys(levels).forEach(function (k) {
        if (Math.abs(Number(k) - z) > 1) delete levels[k];
      });
      routeLayer.setTrips(lines, z);
    });
  }

  // The frame after the one a level's own lines go into has been shown. The
  // levels next to it are asked for only then: their answers cross the same
  // bridge and would hold that frame back.
  function pictureDrawn(zoom, linesZoom) {
    if (zoom !== linesZoom || zoom !== zoomDrawn || zoom === zoomFramed) return;
    var card = cardCount;
    requestAnimationFrame(function () {
      requestAnimationFrame(function () {
        if (zoomDrawn !== zoom || card !== cardCount || zoomFramed === zoom) return;
        zoomFramed = zoom;
        framedAt = Date.now();
        fetchLevel(zoom + 1).then(function () { return fetchLevel(zoom - 1); });
      });
    });
  }

  function drawEvents() {
    routeLayer.setMarks(events.map(function (ev) {
      return { lat: ev.lat, lon: ev.lon, colour: EVENT_COLOURS[ev.kind % EVENT_COLOURS.length] };
    }));
  }

  // A mark's own tip, not the route's beneath it.
  function showMarkTip(m) {
    if (hoverTip) map.closeTooltip(hoverTip);
    if (!markTip) markTip = L.tooltip({ direction: "top", offset: [0, -8] });
    markTip.setLatLng([events[m].lat, events[m].lon]).setContent(String(events[m].label));
    map.openTooltip(markTip);
  }

  // Shift and a drag draws a box; Leaflet's own box zoom is off for it.
  function setUpBox() {
    var start = null, box = null, boxEnded = false, container = map.getContainer();
    container.addEventListener("click", function (e) {
      if (!boxEnded) return;
      boxEnded = false;
      e.stopPropagation();
      e.preventDefault();
    }, true);
    container.addEventListener("mousedown", function (e) {
      if (!e.shiftKey || e.button !== 0) return;
      start = map.mouseEventToContainerPoint(e);
      box = L.DomUtil.create("div", "ov-box", container);
      map.dragging.disable();
      e.preventDefault();
      e.stopPropagation();
    }, true);
    document.addEventListener("mousemove", function (e) {
      if (!start) return;
      var p = map.mouseEventToContainerPoint(e);
      var min = L.point(Math.min(start.x, p.x), Math.min(start.y, p.y));
      var max = L.point(Math.max(start.x, p.x), Math.max(start.y, p.y));
      L.DomUtil.setPosition(box, min);
      box.style.width = (max.x - min.x) + "px";
      box.style.height = (max.y - min.y) + "px";
    });
    document.addEventListener("mouseup", function (e) {
      if (!start) return;
      var end = map.mouseEventToContainerPoint(e);
      var a = map.containerPointToLatLng(start), b = map.containerPointToLatLng(end);
      start = null;
      L.DomUtil.remove(box);
      map.dragging.enable();
      // The click the browser makes of the drag's release is no click on
      // the map or a route.
      boxEnded = true;
      setTimeout(function () { boxEnded = false; }, 300);
      call("boxSelect", Math.min(a.lat, b.lat), Math.min(a.lng, b.lng),
           Math.max(a.lat, b.lat), Math.max(a.lng, b.lng));
    });
  }

  function initialize() {
    map = L.map("map", { boxZoom: false, zoomControl: true }).setView([35.64, 139.75], 12);
    L.tileLayer(TILE_URL, { maxZoom: 19, attribution: ATTRIBUTION }).addTo(map);
    routeLayer = new RouteCanvas().addTo(map);
    routeLayer.onPictureDrawn(pictureDrawn);
    applyStyle();
    nearLayer = L.layerGroup().addTo(map);
    legend = L.control({ position: "bottomleft" });
    legend.onAdd = function () { return L.DomUtil.create("div", "ov-legend"); };
    legend.addTo(map);
    map.on("zoomend", askRoutes);
    // The event marks take their own clicks first; a route takes one within
    // a few pixels of its line, the map the rest.
    map.on("click", function (e) {
      var m = routeLayer.hitMark(e.containerPoint, HIT_TOLERANCE);
      if (m >= 0) {
        call("eventClick", events[m].i);
        return;
      }
      var t = routeLayer.hit(e.containerPoint, HIT_TOLERANCE);
      if (t !== null) call("routeClick", t, e.latlng.lat, e.latlng.lng);
      else call("mapClick", e.latlng.lat, e.latlng.lng);
    });
    map.on("contextmenu", function (e) {
      var m = routeLayer.hitMark(e.containerPoint, HIT_TOLERANCE);
      if (m >= 0) call("eventMenu", events[m].i);
    });
    map.on("mousemove", function (e) {
      var m = routeLayer.hitMark(e.containerPoint, HIT_TOLERANCE);
      overMark = m >= 0;
      if (overMark) showMarkTip(m);
      else if (markTip) map.closeTooltip(markTip);
      var t = overMark ? null : routeLayer.hit(e.containerPoint, HIT_TOLERANCE);
      map.getContainer().style.cursor = overMark || t !== null ? "pointer" : "";
      if (t !== null) hover(t, e.latlng);
      else if (hoverTip) map.closeTooltip(hoverTip);
    });
    map.on("mouseout", function () {
      overMark = false;
      if (markTip) map.closeTooltip(markTip);
    });
    setUpBox();
    call("pageReady");
  }

  // What the program calls.
  window.ov = {
    // Routes are asked for again at the current zoom.
    reload: function () { forgetLevels(); askRoutes(); },
    // The lines of a level asked for; of an earlier card they are dropped.
    lines: function (z, card, lines) {
      if (card !== cardCount || !waiting[z]) return;
      var take = waiting[z];
      delete waiting[z];
      take(lines);
    },
    setEvents: function (list) { events = list; drawEvents(); },
    setColouring: function (how) { colouring = how; applyStyle(); drawLegend(); },
    select: function (t) { selected = t; routeLayer.redraw(); },
    // Without animation, so the lines are asked for once, at the zoom it
    // ends on; `fresh` when the program has new lines at every zoom. The
    // program makes that zoom's lines ahead by the same padding and most.
    fit: function (south, west, north, east, fresh, padding, maxZoom) {
      // Asked once: by the zoom's end when the level changes, else here.
      if (fresh) forgetLevels();
      map.fitBounds([[south, west], [north, east]],
                    { padding: [padding, padding], maxZoom: maxZoom, animate: false });
      askRoutes();
    },
    showPlace: function (lat, lon, radiusM) {
      nearLayer.clearLayers();
      L.circle([lat, lon], { radius: radiusM, color: "#1565c0", weight: 2, fillOpacity: 0.1,
                             interactive: false }).addTo(nearLayer);
    },
    showBox: function (south, west, north, east) {
      nearLayer.clearLayers();
      L.rectangle([[south, west], [north, east]], { color: "#1565c0", weight: 2,
                   fillOpacity: 0.1, interactive: false }).addTo(nearLayer);
    },
    // Where a place lies in the page, in CSS pixels from its top left.
    pointOf: function (lat, lon) {
      var p = map.latLngToContainerPoint([lat, lon]);
      return [p.x, p.y];
    },
    eventCount: function () { return events.length; },
    eventPoint: function (i) { return ov.pointOf(events[i].lat, events[i].lon); },
    zoom: function () { return map.getZoom(); },
    pan: function (dx, dy) { map.panBy([dx, dy], { animate: false }); },
    // The zoom level of the lines handed to the layer.
    drawnZoom: function () { return zoomDrawn; },
    framedZoom: function () { return zoomFramed; },
    framedAt: function () { return framedAt; }, // ms since 1970
    lineCount: function () { return routeLayer.lineCount(); },
    legendText: function () { return legend.getContainer().textContent; }
  };

  document.addEventListener("DOMContentLoaded", initialize);
})();
