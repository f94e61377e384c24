// A line drawn with Leaflet's map on a canvas of its own, for the map
// providers' stand-ins. The canvas keeps what is drawn: points appended to
// the line stroke only their new segments, as the driven line grows at every
// move of the car, and the whole line is drawn again only when the zoom
// changes, the view leaves the drawn area, or points before the end change
// (a seek). A pan inside the drawn area moves the canvas with the map, and
// the line costs the same to show however many points it holds. The line is
// stroked opaque and the canvas shown at the line's opacity: where the line
// crosses itself it looks as one line does.
(function () {
  "use strict";

  // Share of the view drawn beyond each edge: the car's small moves stay
  // inside it. The canvas is drawn into at every frame the view changes, so
  // it covers no more than that, and no more of it than the line reaches.
  var PADDING = 0.05;
  var GROWTH = 64; // pixels the canvas reaches beyond the line's ends
  var HIT_SLACK = 2; // pixels beside the stroke that a click still hits

  // style: color, weight and opacity of the line.
  function CanvasLine(style) {
    this._style = style;
    this._source = []; // the points handed over
    this._toLeaflet = null;
    this._drawn = []; // the points the drawing follows
    this._stroked = 0; // of those, how many are on the canvas
    this._xy = new Float64Array(64); // world pixels of the drawn points at _zoom
    this._zoom = -1;
    this._map = null;
    this._canvas = null;
    this._frame = null; // {x, y, w, h}: world pixels of the view and its margins
    this._area = null; // of those, the ones the canvas holds, at _placedZoom
    this._placedZoom = -1;
    this._scheduled = false;
    this._listeners = [];
    // How often the line was drawn whole and how many segments were
    // stroked since: what a move of the car costs.
    this.wholeDraws = 0;
    this.segmentsStroked = 0;
  }

  CanvasLine.prototype.addTo = function (leafletMap) {
    this._map = leafletMap;
    var canvas = this._canvas = L.DomUtil.create("canvas", "");
    canvas.style.pointerEvents = "none";
    canvas.style.opacity = String(this._style.opacity);
    leafletMap.getPanes().overlayPane.appendChild(canvas);
    leafletMap.on("viewreset", this._placeCanvas, this);
    leafletMap.on("moveend zoomend resize", this._follow, this);
    leafletMap.on("click", this._onClick, this);
    this._zoom = -1;
    this._drawWhole();
    return this;
  };

  CanvasLine.prototype.remove = function () {
    var map = this._map;
    if (!map) return this;
    map.off("viewreset", this._placeCanvas, this);
    map.off("moveend zoomend resize", this._follow, this);
    map.off("click", this._onClick, this);
    L.DomUtil.remove(this._canvas);
    this._canvas = null;
    this._map = null;
    return this;
  };

  // Shows the points (turned into [lat, lng] by toLeaflet) once the running
  // script has made all its changes: a batch is drawn once, and a moved car
  // and its longer driven line appear in the same frame.
  CanvasLine.prototype.show = function (points, toLeaflet) {
    this._source = points;
    this._toLeaflet = toLeaflet;
    if (this._scheduled) return;
    this._scheduled = true;
    var self = this;
    Promise.resolve().then(function () {
      self._scheduled = false;
      self._update();
    });
  };

  // Clicks on the line: handler({latlng}) with where the click was.
  CanvasLine.prototype.on = function (name, handler) {
    if (name === "click") this._listeners.push(handler);
    return this;
  };

  CanvasLine.prototype.drawnLength = function () { return this._drawn.length; };

  // The points as drawn, [lat, lng] each; repeats of the last point are
  // drawn with the next change of the line.
  CanvasLine.prototype.drawnLatLngs = function () {
    var out = new Array(this._stroked);
    for (var i = 0; i < this._stroked; i++)
      out[i] = this._toLeaflet(this._drawn[i]).slice(0, 2);
    return out;
  };

  CanvasLine.prototype._update = function () {
    var points = this._source, drawn = this._drawn;
    var same = 0, common = Math.min(points.length, drawn.length);
    while (same < common && points[same] === drawn[same]) same++;
    if (same === points.length && same === drawn.length) return;
    if (same < drawn.length) {
      // Points before the end changed or went: the canvas is cleared.
      drawn.length = 0;
      for (var i = 0; i < points.length; i++)
        drawn.push(points[i]);
      this._stroked = drawn.length;
      this._zoom = -1;
      this._drawWhole();
      return;
    }
    var from = drawn.length;
    for (var j = from; j < points.length; j++)
      drawn.push(points[j]);
    // Points that repeat the last drawn one add no pixel, as when a standing
    // car sends its position again: they wait, and the canvas is left alone.
    if (this._stroked > 0 && this._repeatsLast(drawn, this._stroked)) return;
    this._appendStroke();
  };

  CanvasLine.prototype._repeatsLast = function (points, from) {
    var last = this._toLeaflet(points[from - 1]);
    for (var i = from; i < points.length; i++) {
      var p = this._toLeaflet(points[i]);
      if (p[0] !== last[0] || p[1] !== last[1]) return false;
    }
    return true;
  };

  // World pixels of the drawn points at the map's zoom, from `from` on.
  CanvasLine.prototype._project = function (from) {
    var map = this._map, zoom = map.getZoom(), n = this._drawn.length;
    if (this._xy.length < 2 * n) {
      var grown = new Float64Array(Math.max(2 * n, 2 * this._xy.length));
      grown.set(this._xy.subarray(0, 2 * from));
      this._xy = grown;
    }
    for (var i = from; i < n; i++) {
      var p = map.project(this._toLeaflet(this._drawn[i]), zoom);
      this._xy[2 * i] = p.x;
      this._xy[2 * i + 1] = p.y;
    }
    this._zoom = zoom;
  };

  // The segments from the last stroked point on, on the canvas as it is.
  CanvasLine.prototype._appendStroke = function () {
    var map = this._map;
    if (!map || !this._area || this._placedZoom !== map.getZoom() || this._zoom !== map.getZoom()) {
      this._stroked = this._drawn.length;
      this._drawWhole();
      return;
    }
    var first = Math.max(0, this._stroked - 1);
    this._project(this._stroked);
    // A point beyond the canvas but in the view's frame needs a larger canvas.
    var a = this._area, f = this._frame, m = this._style.weight, xy = this._xy;
    for (var i = this._stroked; i < this._drawn.length; i++) {
      var x = xy[2 * i], y = xy[2 * i + 1];
      var inArea = x >= a.x + m && y >= a.y + m && x <= a.x + a.w - m && y <= a.y + a.h - m;
      var inFrame = x >= f.x - m && y >= f.y - m && x <= f.x + f.w + m && y <= f.y + f.h + m;
      if (!inArea && inFrame) {
        this._stroked = this._drawn.length;
        this._drawWhole();
        return;
      }
    }
    this._stroke(first, this._drawn.length - 1);
    this._stroked = this._drawn.length;
  };

  // Vertices from..to onto the canvas, only the segments that may reach it.
  CanvasLine.prototype._stroke = function (from, to) {
    var ctx = this._context(), a = this._area, xy = this._xy;
    var m = this._style.weight, w = a.w, h = a.h, down = false;
    ctx.beginPath();
    if (from === to) {
      // One point alone shows as a dot.
      ctx.moveTo(xy[2 * from] - a.x, xy[2 * from + 1] - a.y);
      ctx.lineTo(xy[2 * from] - a.x + 0.01, xy[2 * from + 1] - a.y);
    }
    for (var k = from; k < to; k++) {
      var ax = xy[2 * k] - a.x, ay = xy[2 * k + 1] - a.y;
      var bx = xy[2 * k + 2] - a.x, by = xy[2 * k + 3] - a.y;
      if ((ax < -m && bx < -m) || (ax > w + m && bx > w + m) || (ay < -m && by < -m) ||
          (ay > h + m && by > h + m)) {
        down = false;
        continue;
      }
      if (!down) ctx.moveTo(ax, ay);
      ctx.lineTo(bx, by);
      down = true;
    }
    ctx.stroke();
    this.segmentsStroked += Math.max(1, to - from);
  };

  CanvasLine.prototype._context = function () {
    var ctx = this._canvas.getContext("2d");
    var ratio = window.devicePixelRatio || 1;
    ctx.setTransform(ratio, 0, 0, ratio, 0, 0);
    ctx.strokeStyle = this._style.color;
    ctx.lineWidth = this._style.weight;
    ctx.lineCap = "round";
    ctx.lineJoin = "round";
    return ctx;
  };

  // The canvas placed over the view and its margins where the line reaches
  // them, and the whole line on it.
  CanvasLine.prototype._drawWhole = function () {
    var map = this._map;
    if (!map || !this._canvas) return;
    var size = map.getSize(), pad = size.multiplyBy(PADDING).round();
    var view = map.getPixelBounds();
    this._frame = { x: view.min.x - pad.x, y: view.min.y - pad.y, w: size.x + 2 * pad.x,
                    h: size.y + 2 * pad.y };
    this._placedZoom = map.getZoom();
    this._stroked = this._drawn.length;
    if (this._zoom !== map.getZoom()) this._project(0);
    var f = this._frame, box = this._box(GROWTH + this._style.weight);
    var x0 = Math.max(f.x, box[0]), y0 = Math.max(f.y, box[1]);
    var x1 = Math.min(f.x + f.w, box[2]), y1 = Math.min(f.y + f.h, box[3]);
    this._area = x1 > x0 && y1 > y0 ?
        { x: Math.floor(x0), y: Math.floor(y0), w: Math.ceil(x1 - x0), h: Math.ceil(y1 - y0) } :
        { x: f.x, y: f.y, w: 0, h: 0 };
    var ratio = window.devicePixelRatio || 1, canvas = this._canvas;
    var width = Math.round(this._area.w * ratio), height = Math.round(this._area.h * ratio);
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      canvas.style.width = this._area.w + "px";
      canvas.style.height = this._area.h + "px";
    } else {
      canvas.getContext("2d").clearRect(0, 0, width, height);
    }
    this._placeCanvas();
    this.wholeDraws++;
    if (this._stroked > 0 && width > 0 && height > 0) this._stroke(0, this._stroked - 1);
  };

  // The world pixels the stroked points span, `margin` more on each side:
  // [minX, minY, maxX, maxY].
  CanvasLine.prototype._box = function (margin) {
    var xy = this._xy, box = [Infinity, Infinity, -Infinity, -Infinity];
    for (var i = 0; i < this._stroked; i++) {
      box[0] = Math.min(box[0], xy[2 * i]);
      box[1] = Math.min(box[1], xy[2 * i + 1]);
      box[2] = Math.max(box[2], xy[2 * i]);
      box[3] = Math.max(box[3], xy[2 * i + 1]);
    }
    return [box[0] - margin, box[1] - margin, box[2] + margin, box[3] + margin];
  };

  // A reset of the map's pixel origin moves where the canvas's area lies
  // in the map's layer.
  CanvasLine.prototype._placeCanvas = function () {
    if (!this._map || !this._area) return;
    var origin = this._map.getPixelOrigin();
    L.DomUtil.setPosition(this._canvas, L.point(this._area.x - origin.x, this._area.y - origin.y));
  };

  // After a move or zoom: drawn anew when the view is no longer inside the
  // drawn area at the map's zoom.
  CanvasLine.prototype._follow = function () {
    var map = this._map;
    if (!map) return;
    var view = map.getPixelBounds(), f = this._frame;
    if (this._placedZoom === map.getZoom() && f && view.min.x >= f.x && view.min.y >= f.y &&
        view.max.x <= f.x + f.w && view.max.y <= f.y + f.h)
      return;
    this._drawWhole();
  };

  CanvasLine.prototype._onClick = function (e) {
    if (!this._listeners.length || this._stroked === 0 || this._zoom !== this._map.getZoom())
      return;
    var p = this._map.project(e.latlng, this._zoom), xy = this._xy, n = this._stroked;
    var reach = this._style.weight / 2 + HIT_SLACK, best = Infinity;
    for (var k = 0; k === 0 || k < n - 1; k++) {
      var e2 = n > 1 ? k + 1 : k;
      best = Math.min(best, segmentDistance2(p.x, p.y, xy[2 * k], xy[2 * k + 1], xy[2 * e2],
                                             xy[2 * e2 + 1]));
    }
    if (best > reach * reach) return;
    for (var i = 0; i < this._listeners.length; i++)
      this._listeners[i]({ latlng: e.latlng });
  };

  function segmentDistance2(px, py, ax, ay, bx, by) {
    var dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    var u = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    u = Math.max(0, Math.min(1, u));
    var x = ax + u * dx - px, y = ay + u * dy - py;
    return x * x + y * y;
  }

  window.CanvasLine = CanvasLine;
})();
