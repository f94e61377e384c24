// The card overview: every trip's route, the driving events and the answer
// to "when was I here?". The program hands the lines over already thinned
// for the zoom level; every click and hover is answered by the program.
// Both talk through the program's bridge object on the web channel: its
// methods for what the page asks, its signals for what the page shows.
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

  var SPEED_COLOURS = ["#2166ac", "#1a9850", "#e6c200", "#f46d43", "#b2182b"];
  var TRIP_COLOURS = ["#1f77b4", "#d62728", "#2ca02c", "#9467bd", "#ff7f0e", "#17becf",
                      "#e377c2", "#8c564b", "#bcbd22", "#393b79"];
  var ROUTE_SLACK = 3; // pixels beside a line's edge that still take its click
  var MARK_SLACK = 4; // and beside an event mark's ring
  // Per event kind; none is a colour of the speed scale.
  var EVENT_COLOURS = ["#e7298a", "#7570b3", "#a6761d", "#000000", "#f4a6d7", "#737373"];

  var map, routeLayer, nearLayer, zoneLayer, legend, eventLegend;
  var trips = [], events = [], colouring = "trip", selected = -1, zoomAsked = -1, zoomDrawn = -1;
  var zoomFramed = -1, framedAt = 0; // the level whose lines have reached the screen, and when
  var levels = {}, cardCount = 0, legendKey = ""; // lines per zoom level asked for, of the card on show
  var waiting = {}; // per zoom level asked for, what takes its lines
  var MAX_ZOOM = 19;
  var hoverTip = null, markTip = null, hoverPending = false, overMark = false;
  var bridge = null; // the program's object on the web channel
  var speedLegend = []; // the speed bands' texts, in the viewer's unit
  var shownBox = null;
  var shownTrips = null; // the day's trips as {t: true}, or null for every trip
  var marks = []; // the events on show, in drawing order
  var kindNames = [], eventsHeading = "";

  function tripShown(t) { return !shownTrips || shownTrips[t] === true; }

  function bandColour(band) { return SPEED_COLOURS[Math.max(0, Math.min(band, 4))]; }

  function tripColour(t) { return TRIP_COLOURS[t % TRIP_COLOURS.length]; }

  function lineStyle(t) {
    var faded = selected >= 0 && t !== selected;
    return { colour: tripColour(t), weight: t === selected ? 6 : 4, opacity: faded ? 0.35 : 0.9 };
  }

  function applyStyle() {
    routeLayer.setStyle(lineStyle, colouring === "speed", bandColour);
  }

  // A place the program is told of: on the globe's first copy.
  function wrapped(latlng) { return latlng.wrap(); }

  // A longitude from the program, moved round the globe to the copy on show.
  function nearView(lon) {
    var centre = map.getCenter().lng;
    return lon + 360 * Math.round((centre - lon) / 360);
  }

  function hover(t, latlng) {
    if (hoverPending || !bridge) return;
    hoverPending = true;
    var at = wrapped(latlng);
    bridge.HoverRoute(t, at.lat, at.lng);
  }

  // The program's answer to a hover: the route's time and speed there.
  function showRouteTip(text, lat, lon) {
    hoverPending = false;
    if (!text || overMark) return;
    if (!hoverTip) hoverTip = L.tooltip({ direction: "top", offset: [0, -8] });
    hoverTip.setLatLng([lat, nearView(lon)]).setContent(String(text));
    map.openTooltip(hoverTip);
  }

  // Written again only when what it lists changes, not at every zoom.
  function drawLegend() {
    var key = colouring + " " + cardCount + " " + trips.length + " " +
              (shownTrips ? Object.keys(shownTrips).join(",") : "all");
    if (key === legendKey) return;
    legendKey = key;
    var div = legend.getContainer();
    var html = "";
    if (colouring === "speed") {
      speedLegend.forEach(function (text, i) {
        html += '<div><i style="background:' + bandColour(i) + '"></i>' +
                L.Util.template("{text}", { text: text }) + "</div>";
      });
    } else {
      // The colours repeat after these many trips: a longer list says no more.
      var listed = trips.filter(function (trip) { return tripShown(trip.t); });
      listed.slice(0, TRIP_COLOURS.length).forEach(function (trip) {
        html += '<div><i style="background:' + tripColour(trip.t) + '"></i>' +
                L.Util.template("{label}", { label: trip.label || ("#" + (trip.t + 1)) }) +
                "</div>";
      });
      if (listed.length > TRIP_COLOURS.length) html += "<div>\u2026</div>";
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
      // The program answers with its LinesMade signal.
      if (bridge) bridge.AskLines(z, card);
      else takeLines(z, card, null);
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

  // The lines of a level asked for; of an earlier card they are dropped.
  function takeLines(z, card, lines) {
    if (card !== cardCount || !waiting[z]) return;
    var take = waiting[z];
    delete waiting[z];
    take(lines);
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

  function eventColour(kind) { return EVENT_COLOURS[kind % EVENT_COLOURS.length]; }

  // The marks of the trips on show; a mark outside any trip shows with
  // every trip only.
  function drawEvents() {
    marks = events.filter(function (ev) {
      return !shownTrips || (ev.t !== undefined && ev.t >= 0 && tripShown(ev.t));
    });
    routeLayer.setMarks(marks.map(function (ev) {
      return { lat: ev.lat, lon: ev.lon, colour: eventColour(ev.kind), n: ev.n || 1 };
    }));
    drawEventLegend();
  }

  // The kinds of the marks on show, in their own colours.
  function drawEventLegend() {
    var seen = {};
    marks.forEach(function (ev) {
      (ev.kinds || [ev.kind]).forEach(function (k) { seen[k] = true; });
    });
    var div = eventLegend.getContainer();
    div.textContent = "";
    var kinds = Object.keys(seen).map(Number).sort(function (a, b) { return a - b; });
    div.style.display = kinds.length ? "" : "none";
    if (!kinds.length) return;
    var head = L.DomUtil.create("div", "ov-legend-head", div);
    head.textContent = eventsHeading;
    kinds.forEach(function (k) {
      var row = L.DomUtil.create("div", "", div);
      var dot = L.DomUtil.create("b", "", row);
      dot.style.background = eventColour(k);
      row.appendChild(document.createTextNode(kindNames[k] || String(k)));
    });
  }

  // A mark's own tip, not the route's beneath it: each of its events on a
  // line of its own.
  function showMarkTip(m) {
    if (hoverTip) map.closeTooltip(hoverTip);
    if (!markTip) markTip = L.tooltip({ direction: "top", offset: [0, -8], className: "ov-tip" });
    var text = document.createElement("div");
    text.textContent = String(marks[m].label);
    markTip.setLatLng([marks[m].lat, nearView(marks[m].lon)]).setContent(text);
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
      // The corners as the map has them: the program brings a box panned
      // round the globe back onto it.
      if (bridge) bridge.DragBox(a.lat, a.lng, b.lat, b.lng);
    });
  }

  function initialize() {
    map = L.map("map", { boxZoom: false, zoomControl: true }).setView([35.64, 139.75], 12);
    L.tileLayer(TILE_URL, { maxZoom: 19, attribution: ATTRIBUTION }).addTo(map);
    routeLayer = new RouteCanvas().addTo(map);
    routeLayer.onPictureDrawn(pictureDrawn);
    applyStyle();
    zoneLayer = L.layerGroup().addTo(map);
    nearLayer = L.layerGroup().addTo(map);
    legend = L.control({ position: "bottomleft" });
    legend.onAdd = function () { return L.DomUtil.create("div", "ov-legend"); };
    legend.addTo(map);
    eventLegend = L.control({ position: "bottomleft" });
    eventLegend.onAdd = function () { return L.DomUtil.create("div", "ov-legend ov-events"); };
    eventLegend.addTo(map);
    map.on("zoomend", askRoutes);
    // The event marks take their own clicks first; a route takes one within
    // a few pixels of its line, the map the rest.
    map.on("click", function (e) {
      if (!bridge) return;
      var m = routeLayer.hitMark(e.containerPoint, MARK_SLACK);
      if (m >= 0) {
        bridge.ClickEvent(marks[m].i);
        return;
      }
      var t = routeLayer.hit(e.containerPoint, ROUTE_SLACK);
      var at = wrapped(e.latlng);
      if (t !== null) bridge.ClickRoute(t, at.lat, at.lng);
      else bridge.ClickMap(at.lat, at.lng);
    });
    // The program's menu: a mark's own items and, anywhere, a privacy zone
    // at the place.
    map.on("contextmenu", function (e) {
      if (!bridge) return;
      var m = routeLayer.hitMark(e.containerPoint, MARK_SLACK);
      var at = wrapped(e.latlng);
      if (m >= 0) bridge.AskEventMenu(marks[m].i, at.lat, at.lng);
      else bridge.AskMapMenu(at.lat, at.lng);
    });
    map.on("mousemove", function (e) {
      var m = routeLayer.hitMark(e.containerPoint, MARK_SLACK);
      overMark = m >= 0;
      if (overMark) showMarkTip(m);
      else if (markTip) map.closeTooltip(markTip);
      var t = overMark ? null : routeLayer.hit(e.containerPoint, ROUTE_SLACK);
      map.getContainer().style.cursor = overMark || t !== null ? "pointer" : "";
      if (t !== null) hover(t, e.latlng);
      else if (hoverTip) map.closeTooltip(hoverTip);
    });
    map.on("mouseout", function () {
      overMark = false;
      if (markTip) map.closeTooltip(markTip);
    });
    setUpBox();
    if (window.app && app.channelObject) app.channelObject("overview").then(listen);
  }

  // What the program shows goes through its signals; the page says it is
  // ready once it listens to every one.
  function listen(b) {
    if (!b) return;
    bridge = b;
    b.LinesMade.connect(function (z, card, json) { takeLines(z, card, JSON.parse(json)); });
    b.LinesChanged.connect(function () { forgetLevels(); askRoutes(); });
    b.EventsChanged.connect(function (list) { events = list; drawEvents(); });
    b.EventKindsNamed.connect(function (names, heading) {
      kindNames = names;
      eventsHeading = heading;
      drawEventLegend();
    });
    b.TripsShown.connect(function (all, list) {
      shownTrips = null;
      if (!all) {
        shownTrips = {};
        list.forEach(function (t) { shownTrips[t] = true; });
      }
      routeLayer.setShown(all ? null : tripShown);
      drawEvents();
      drawLegend();
    });
    b.ColouringChanged.connect(function (how) { colouring = how; applyStyle(); drawLegend(); });
    b.SpeedBandsChanged.connect(function (legend) {
      speedLegend = legend;
      legendKey = "";
      drawLegend();
    });
    b.TripSelected.connect(function (t) { selected = t; routeLayer.redraw(); });
    b.FitAsked.connect(fit);
    b.RouteTipMade.connect(showRouteTip);
    b.PlaceShown.connect(function (lat, lon, radiusM) {
      nearLayer.clearLayers();
      L.circle([lat, nearView(lon)], { radius: radiusM, color: "#1565c0", weight: 2,
                                       fillOpacity: 0.1, interactive: false }).addTo(nearLayer);
    });
    // The privacy zones as shaded circles, r in metres.
    b.ZonesChanged.connect(function (list) {
      zoneLayer.clearLayers();
      list.forEach(function (z) {
        L.circle([z.lat, nearView(z.lon)], { radius: z.r, color: "#6d4c41", weight: 1,
                                             dashArray: "4 3", fillColor: "#5d4037",
                                             fillOpacity: 0.3, interactive: false })
          .addTo(zoneLayer);
      });
    });
    b.BoxShown.connect(function (south, west, north, east) {
      shownBox = [south, west, north, east];
      // A box across the 180th meridian is drawn eastwards across it.
      var w = nearView(west), e = w + (east - west + (west > east ? 360 : 0));
      nearLayer.clearLayers();
      L.rectangle([[south, w], [north, e]], { color: "#1565c0", weight: 2, fillOpacity: 0.1,
                                              interactive: false }).addTo(nearLayer);
    });
    b.Ready();
  }

  // Without animation, so the lines are asked for once, at the zoom it
  // ends on; `fresh` when the program has new lines at every zoom. The
  // program makes that zoom's lines ahead by the same padding and most.
  function fit(south, west, north, east, fresh, padding, maxZoom) {
    // Asked once: by the zoom's end when the level changes, else here.
    if (fresh) forgetLevels();
    map.fitBounds([[south, west], [north, east]],
                  { padding: [padding, padding], maxZoom: maxZoom, animate: false });
    askRoutes();
  }

  // What the tests and benchmarks read of the page.
  window.ov = {
    // How many privacy zones are drawn.
    zoneCount: function () { return zoneLayer.getLayers().length; },
    // Where a place lies in the page, in CSS pixels from its top left.
    pointOf: function (lat, lon) {
      var p = map.latLngToContainerPoint([lat, lon]);
      return [p.x, p.y];
    },
    // The event marks on show.
    eventCount: function () { return marks.length; },
    eventPoint: function (i) { return ov.pointOf(marks[i].lat, marks[i].lon); },
    eventLabel: function (i) { return marks[i].label; },
    // The mark of an event (by the program's index), or -1 when not on show.
    markOf: function (event) {
      for (var m = 0; m < marks.length; ++m) if (marks[m].i === event) return m;
      return -1;
    },
    // The box the program last showed: south, west, north, east.
    shownBox: function () { return shownBox; },
    zoom: function () { return map.getZoom(); },
    pan: function (dx, dy) { map.panBy([dx, dy], { animate: false }); },
    // The zoom level of the lines handed to the layer.
    drawnZoom: function () { return zoomDrawn; },
    framedZoom: function () { return zoomFramed; },
    framedAt: function () { return framedAt; }, // ms since 1970
    lineCount: function () { return routeLayer.lineCount(); },
    legendText: function () { return legend.getContainer().textContent; },
    colours: function () { return { speed: SPEED_COLOURS, events: EVENT_COLOURS }; },
    eventLegendText: function () { return eventLegend.getContainer().textContent; },
    // The trips whose lines are drawn.
    shownTrips: function () {
      return trips.filter(function (trip) { return tripShown(trip.t); })
                  .map(function (trip) { return trip.t; });
    }
  };

  document.addEventListener("DOMContentLoaded", initialize);
})();
