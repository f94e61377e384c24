// Every trip's line and every event mark on one canvas of its own. The
// program hands the lines over as pixels of one zoom level; they are kept
// in typed arrays, scaled once per zoom level; a pan redraws them shifted,
// and clicks and hovers are found by walking those arrays. Leaflet's own
// polylines keep a LatLng and a Point object per vertex and redo their
// clipping per layer on every move; a Leaflet marker per event took 140 ms
// to place a card's thousand events.
(function () {
  "use strict";

  var PADDING = 0.25; // share of the view drawn beyond each edge, for drags
  var MARK_RADIUS = 7, MARK_RING = 2, GROUP_RADIUS = 9; // a mark of several events is larger
  var ASIDE_VERTICES = 2000; // the first slice of a picture drawn aside

  window.RouteCanvas = L.Layer.extend({
    initialize: function () {
      this._trips = []; // as handed over: {t, x, y, b}, pixel steps at _tripsZoom
      this._tripsZoom = 0;
      this._lines = []; // per trip: {t, xy: Float64Array of world pixels, b, box}
      this._zoom = -1;
      this._style = function () { return { colour: "#000", weight: 4, opacity: 0.9 }; };
      this._bandColour = function () { return "#000"; };
      this._bySpeed = false;
      this._runs = 0;
      this._marks = []; // {lat, lon, colour, n}
      this._shown = null; // which trips are drawn: fn(t), or null for all
      this._pictureDrawn = function () {};
      this._markXY = new Float64Array(0); // world pixels at _zoom
    },

    onAdd: function (map) {
      this._canvas = L.DomUtil.create("canvas", "leaflet-zoom-animated");
      this._canvas.style.pointerEvents = "none";
      var pane = map.getPanes().overlayPane;
      pane.insertBefore(this._canvas, pane.firstChild); // below the place asked about
      map.on("moveend", this._onMoveEnd, this);
      map.on("resize", this._reset, this);
      map.on("zoom", this._onZoom, this);
      map.on("zoomanim", this._onZoomAnim, this);
      this._reset();
    },

    onRemove: function (map) {
      map.off("moveend", this._onMoveEnd, this);
      map.off("resize", this._reset, this);
      map.off("zoom", this._onZoom, this);
      map.off("zoomanim", this._onZoomAnim, this);
      clearTimeout(this._later);
      this._cancelAside();
      L.DomUtil.remove(this._canvas);
    },

    // trips: [{t, x: [...], y: [...], b: [band per vertex]}], the vertices
    // as whole pixels of the web map at `zoom`, the first one and then each
    // as the step from the one before. style(t) gives {colour, weight,
    // opacity}; with bySpeed each segment takes its first vertex's band.
    // They are read when drawn: just after a zoom that is after the frame
    // with the scaled picture.
    setTrips: function (trips, zoom) {
      this._trips = trips;
      this._tripsZoom = zoom;
      this._zoom = -1;
      // Just after a zoom they are drawn with the picture of the new level;
      // a picture being drawn aside starts again with them.
      if (this._map && this._map.getZoom() === this._drawnZoom) this._reset();
      else if (this._aside) this._drawAside();
    },

    // Event marks, drawn above every line in their order: [{lat, lon,
    // colour, n}], n the events a mark stands for (its number is drawn).
    setMarks: function (marks) {
      this._marks = marks;
      if (this._map && this._zoom === this._map.getZoom()) this._projectMarks();
      this.redraw();
    },

    // Only the trips for which shown(t) holds are drawn and hit; null: all.
    setShown: function (shown) {
      this._shown = shown;
      this.redraw();
    },

    setStyle: function (style, bySpeed, bandColour) {
      this._style = style;
      this._bySpeed = bySpeed;
      this._bandColour = bandColour;
      this.redraw();
    },

    // fn(zoom, linesZoom) once a picture is on the canvas: the map's zoom it
    // was drawn for and the zoom of the lines it holds.
    onPictureDrawn: function (fn) { this._pictureDrawn = fn; },

    // Lines drawn: one per trip, or one per run of a speed band.
    lineCount: function () { return this._runs; },

    // The trip whose line passes within `slack` pixels of its edge at a
    // container point; null when none. Where several do, the one drawn on
    // top (the selected trip lies above all) wins.
    hit: function (containerPoint, slack) {
      if (!this._map) return null;
      var origin = this._map.getPixelBounds().min;
      var x = containerPoint.x + origin.x, y = containerPoint.y + origin.y;
      var order = this._order();
      for (var i = order.length - 1; i >= 0; --i) {
        var line = order[i], box = line.box, xy = line.xy;
        var reach = this._style(line.t).weight / 2 + slack;
        if (x < box[0] - reach || x > box[2] + reach || y < box[1] - reach || y > box[3] + reach)
          continue;
        var n = xy.length / 2;
        for (var k = 0; k === 0 || k < n - 1; ++k) {
          var e = n > 1 ? k + 1 : k;
          var d = segmentDistance2(x, y, xy[2 * k], xy[2 * k + 1], xy[2 * e], xy[2 * e + 1]);
          if (d <= reach * reach) return line.t;
        }
      }
      return null;
    },

    // The lines on show in the order they are drawn: the heaviest (the
    // selected trip) last, so it lies on top.
    _order: function () {
      var style = this._style, shown = this._shown;
      var order = shown ? this._lines.filter(function (l) { return shown(l.t); })
                        : this._lines.slice();
      order.sort(function (a, b) { return style(a.t).weight - style(b.t).weight; });
      return order;
    },

    // The topmost mark within `tolerance` pixels of its ring; -1 when none.
    hitMark: function (containerPoint, tolerance) {
      if (!this._map || this._zoom !== this._map.getZoom()) return -1;
      var origin = this._map.getPixelBounds().min;
      var x = containerPoint.x + origin.x, y = containerPoint.y + origin.y;
      var xy = this._markXY;
      for (var i = xy.length / 2 - 1; i >= 0; --i) {
        var reach = markRadius(this._marks[i]) + MARK_RING / 2 + tolerance;
        var dx = xy[2 * i] - x, dy = xy[2 * i + 1] - y;
        if (dx * dx + dy * dy <= reach * reach) return i;
      }
      return -1;
    },

    _projectMarks: function () {
      var map = this._map, zoom = map.getZoom(), marks = this._marks;
      var xy = new Float64Array(2 * marks.length);
      for (var i = 0; i < marks.length; ++i) {
        var p = map.project([marks[i].lat, marks[i].lon], zoom);
        xy[2 * i] = p.x;
        xy[2 * i + 1] = p.y;
      }
      this._markXY = xy;
    },

    // The lines at the map's zoom: the pixels of the zoom they came at,
    // scaled.
    _project: function () {
      var zoom = this._map.getZoom(), scale = Math.pow(2, zoom - this._tripsZoom);
      this._zoom = zoom;
      this._lines = this._trips.map(function (trip) {
        var n = trip.x.length, xy = new Float64Array(2 * n), px = 0, py = 0;
        var box = [Infinity, Infinity, -Infinity, -Infinity];
        for (var i = 0; i < n; ++i) {
          px += trip.x[i];
          py += trip.y[i];
          var x = px * scale, y = py * scale;
          xy[2 * i] = x;
          xy[2 * i + 1] = y;
          box[0] = Math.min(box[0], x);
          box[1] = Math.min(box[1], y);
          box[2] = Math.max(box[2], x);
          box[3] = Math.max(box[3], y);
        }
        return { t: trip.t, xy: xy, b: trip.b, box: box };
      });
      this._projectMarks();
    },

    // A pan that stays inside the drawn margin needs no drawing: the canvas
    // moves with the map. After a zoom the scaled picture is shown first and
    // drawn anew once that frame is out.
    _onMoveEnd: function () {
      var map = this._map;
      if (map.getZoom() !== this._drawnZoom && this._lines.length === 0) {
        this._reset(); // nothing to show scaled
        return;
      }
      if (map.getZoom() !== this._drawnZoom) {
        var self = this;
        clearTimeout(this._later);
        // After the frame that the next animation frame starts.
        requestAnimationFrame(function () {
          clearTimeout(self._later);
          self._later = setTimeout(function () {
            if (self._map && self._map.getZoom() !== self._drawnZoom) self._drawAside();
          }, 0);
        });
        return;
      }
      var view = L.bounds(map.containerPointToLayerPoint([0, 0]),
                          map.containerPointToLayerPoint(map.getSize()));
      var drawn = L.bounds(this._topLeft,
                           this._topLeft.add([this._canvas.width, this._canvas.height]));
      if (!drawn.contains(view)) this._drawAside();
    },

    _onZoom: function () {
      this._cancelAside(); // drawn for the level before
      this._onZoomAnim({ zoom: this._map.getZoom(), center: this._map.getCenter() });
    },

    _reset: function () {
      var map = this._map;
      if (!map) return;
      clearTimeout(this._later);
      this._cancelAside();
      var area = this._area();
      this._place(area, map.getCenter(), map.getZoom());
      if (this._zoom !== map.getZoom()) this._project();
      this.redraw();
    },

    // Where the canvas goes for the view as it is now: the view and a
    // margin on each side, its top left in the map's layer pixels.
    _area: function () {
      var map = this._map, size = map.getSize(), pad = size.multiplyBy(PADDING).round();
      return {
        topLeft: map.containerPointToLayerPoint(pad.multiplyBy(-1)).round(),
        width: size.x + 2 * pad.x,
        height: size.y + 2 * pad.y
      };
    },

    // The canvas placed for a picture of the view at `center` and `zoom`.
    _place: function (area, center, zoom) {
      var canvas = this._canvas;
      this._topLeft = area.topLeft;
      this._center = center;
      this._drawnZoom = zoom;
      canvas.style[L.DomUtil.TRANSFORM] = ""; // a zoom's scaling ends here
      canvas.style.imageRendering = "";
      L.DomUtil.setPosition(canvas, area.topLeft);
      if (canvas.width !== area.width || canvas.height !== area.height) {
        canvas.width = area.width;
        canvas.height = area.height;
        canvas.style.width = area.width + "px";
        canvas.style.height = area.height + "px";
      }
    },

    redraw: function () {
      var map = this._map;
      if (!map || !this._canvas) return;
      if (this._drawnZoom !== map.getZoom() || this._zoom !== map.getZoom()) {
        this._reset();
        return;
      }
      // A style asked for while a picture is drawn aside goes into it.
      if (this._aside) {
        this._drawAside();
        return;
      }
      var ctx = this._canvas.getContext("2d");
      var w = this._canvas.width, h = this._canvas.height;
      ctx.clearRect(0, 0, w, h);
      // The canvas's top left on the whole map, where it was placed.
      var origin = map.getPixelOrigin();
      var job = this._drawing(ctx, w, h, this._topLeft.x + origin.x, this._topLeft.y + origin.y);
      job.step(Infinity);
      this._runs = job.runs();
      this._pictureDrawn(this._drawnZoom, this._tripsZoom);
    },

    // Draws the lines and marks of a canvas w × h whose top left lies at
    // (ox, oy) on the whole map; step(budget) draws about that many
    // vertices more and says whether the picture is whole.
    _drawing: function (ctx, w, h, ox, oy) {
      var self = this, style = this._style, i = 0, runs = 0;
      var area = { ox: ox, oy: oy, w: w, h: h };
      var order = this._order();
      // Round ends and joins cost the software rasterizer a third more at
      // every vertex; on a 4-pixel line nobody sees the difference.
      ctx.lineCap = "butt";
      ctx.lineJoin = "bevel";
      return {
        step: function (budget) {
          for (var spent = 0; i < order.length && spent < budget; ++i) {
            var line = order[i], box = line.box, s = style(line.t);
            if (box[2] < ox || box[0] > ox + w || box[3] < oy || box[1] > oy + h) continue;
            ctx.lineWidth = s.weight;
            ctx.globalAlpha = s.opacity;
            if (self._bySpeed) runs += self._drawBands(ctx, line, area);
            else runs += self._drawPath(ctx, line, area, s.colour);
            spent += line.xy.length / 2;
          }
          ctx.globalAlpha = 1;
          if (i < order.length) return false;
          self._drawMarks(ctx, ox, oy, w, h);
          return true;
        },
        runs: function () { return runs; }
      };
    },

    // The picture for the view as it is now, drawn on a canvas aside a few
    // thousand vertices at a time, each slice rasterized at once: the one
    // on show stays, moving with the map, and frames keep coming. It takes
    // the place of the one on show when whole.
    _drawAside: function () {
      var map = this._map;
      if (!map) return;
      this._cancelAside();
      var area = this._area(), width = area.width, height = area.height;
      if (this._zoom !== map.getZoom()) this._project();
      var back = this._back || (this._back = document.createElement("canvas"));
      back.width = width;
      back.height = height;
      var ctx = back.getContext("2d");
      var origin = map.getPixelOrigin();
      var job = this._drawing(ctx, width, height, area.topLeft.x + origin.x,
                              area.topLeft.y + origin.y);
      var aside = { center: map.getCenter(), zoom: map.getZoom(), linesZoom: this._tripsZoom };
      var self = this;
      var budget = ASIDE_VERTICES;
      function slice() {
        if (self._aside !== aside) return;
        var began = performance.now();
        var whole = job.step(budget);
        ctx.getImageData(0, 0, 1, 1); // rasterized now, not all in one frame
        // Slices of about half a frame, whatever this machine does: the
        // frame needs the rest.
        budget = Math.max(500, Math.round(budget * 8 / Math.max(1, performance.now() - began)));
        if (!whole) {
          aside.timer = setTimeout(slice, 0);
          return;
        }
        self._aside = null;
        self._runs = job.runs();
        self._place(area, aside.center, aside.zoom);
        var shown = self._canvas.getContext("2d");
        shown.clearRect(0, 0, width, height);
        shown.drawImage(back, 0, 0);
        self._pictureDrawn(aside.zoom, aside.linesZoom);
      }
      this._aside = aside;
      slice();
    },

    _cancelAside: function () {
      if (!this._aside) return;
      clearTimeout(this._aside.timer);
      this._aside = null;
    },

    _drawMarks: function (ctx, ox, oy, w, h) {
      var xy = this._markXY, reach = GROUP_RADIUS + MARK_RING;
      ctx.lineWidth = MARK_RING;
      ctx.font = "bold 11px sans-serif";
      ctx.textAlign = "center";
      ctx.textBaseline = "middle";
      for (var i = 0; i < this._marks.length; ++i) {
        var mark = this._marks[i], x = xy[2 * i] - ox, y = xy[2 * i + 1] - oy;
        if (x < -reach || y < -reach || x > w + reach || y > h + reach) continue;
        ctx.beginPath();
        ctx.arc(x, y, markRadius(mark), 0, 2 * Math.PI);
        ctx.fillStyle = mark.colour;
        ctx.strokeStyle = "#ffffff";
        ctx.fill();
        ctx.stroke();
        if (mark.n > 1) {
          ctx.fillStyle = "#ffffff";
          ctx.fillText(String(mark.n), x, y + 0.5);
        }
      }
    },

    // area: the canvas's size and its top left on the whole map.
    _drawPath: function (ctx, line, area, colour) {
      var xy = line.xy;
      ctx.strokeStyle = colour;
      ctx.beginPath();
      if (xy.length === 2) {
        ctx.moveTo(xy[0] - area.ox, xy[1] - area.oy);
        ctx.lineTo(xy[0] - area.ox + 0.01, xy[1] - area.oy);
      } else {
        this._trace(ctx, xy, 0, xy.length / 2 - 1, area);
      }
      ctx.stroke();
      return 1;
    },

    // One path per run of segments in the same band; how many were drawn.
    _drawBands: function (ctx, line, area) {
      var xy = line.xy, b = line.b, n = xy.length / 2;
      if (n < 2) return this._drawPath(ctx, line, area, this._bandColour(b[0]));
      var start = 0, runs = 0;
      for (var k = 1; k < n; ++k) {
        if (k === n - 1 || b[k] !== b[start]) {
          ctx.strokeStyle = this._bandColour(b[start]);
          ctx.beginPath();
          if (this._trace(ctx, xy, start, k, area)) {
            ctx.stroke();
            ++runs;
          }
          start = k;
        }
      }
      return runs;
    },

    // The segments from vertex `from` to vertex `to` that may reach the
    // canvas; false when none does. The rasterizer strokes a path whole
    // before it clips it, so a zoomed-in view would pay for every street of
    // the card.
    _trace: function (ctx, xy, from, to, area) {
      var ox = area.ox, oy = area.oy, w = area.w, h = area.h, m = 8, down = false, any = false;
      for (var k = from; k < to; ++k) {
        var ax = xy[2 * k] - ox, ay = xy[2 * k + 1] - oy;
        var bx = xy[2 * k + 2] - ox, by = xy[2 * k + 3] - oy;
        if ((ax < -m && bx < -m) || (ax > w + m && bx > w + m) || (ay < -m && by < -m) ||
            (ay > h + m && by > h + m)) {
          down = false;
          continue;
        }
        if (!down) ctx.moveTo(ax, ay);
        ctx.lineTo(bx, by);
        down = any = true;
      }
      return any;
    },

    // As Leaflet's renderers do: scale the last picture towards the new
    // level until it is drawn there.
    _onZoomAnim: function (e) {
      var map = this._map;
      var scale = map.getZoomScale(e.zoom, this._drawnZoom);
      var position = L.DomUtil.getPosition(this._canvas);
      var viewHalf = map.getSize().multiplyBy(0.5 + PADDING);
      var currentCenter = map.project(this._center, e.zoom);
      var destCenter = map.project(e.center, e.zoom);
      var offset = viewHalf.multiplyBy(-scale).add(position).add(viewHalf)
          .subtract(destCenter.subtract(currentCenter));
      // A plain 2D transform: a 3D one is composed with filtering, which a
      // software-drawn view pays for over the whole canvas. Without 3D the
      // canvas's place is its left and top, which the offset includes.
      if (!L.Browser.any3d) offset = offset.subtract(position);
      this._canvas.style.transformOrigin = "0 0";
      // The scaled picture shows until the new one is drawn; filtering it
      // is what costs the software compositor in each of those frames.
      this._canvas.style.imageRendering = "pixelated";
      this._canvas.style[L.DomUtil.TRANSFORM] =
          "translate(" + offset.x + "px," + offset.y + "px) scale(" + scale + ")";
    }
  });

  function markRadius(mark) { return mark.n > 1 ? GROUP_RADIUS : MARK_RADIUS; }

  function segmentDistance2(px, py, ax, ay, bx, by) {
    var dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    var u = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    u = Math.max(0, Math.min(1, u));
    var x = ax + u * dx - px, y = ay + u * dy - py;
    return x * x + y * y;
  }
})();
