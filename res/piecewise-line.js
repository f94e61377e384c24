// A line drawn with Leaflet in pieces of a few hundred points, for the map
// providers' stand-ins. Appending points redraws only the last piece, and
// moving the map updates only the pieces near the view (Leaflet skips a path
// whose bounds lie outside it), so a long route or driven line costs little
// while the car moves. The pieces share one SVG layer, and the line's opacity
// is that layer's: where pieces meet or the line crosses itself it looks as
// one line does.
(function () {
  "use strict";

  var PIECE = 256;

  // An SVG layer that draws half a view beyond each edge and is drawn again
  // only when the view leaves that area, the zoom changes or the view is
  // reset. A small pan, as at every move of the car, then only shifts the
  // map pane that carries the drawing, and nothing is drawn anew.
  var LazySVG = L.SVG.extend({
    options: { padding: 0.5 },
    _update: function () {
      if (this._bounds && !this._stale && this._zoom === this._map.getZoom()) {
        var min = this._map.containerPointToLayerPoint([0, 0]).round();
        if (this._bounds.contains(new L.Bounds(min, min.add(this._map.getSize()))))
          return;
      }
      this._stale = false;
      L.SVG.prototype._update.call(this);
    },
    // A reset moves the pixel origin, so positions drawn before no longer hold.
    _reset: function () {
      this._stale = true;
      L.SVG.prototype._reset.call(this);
    }
  });

  // style: color, weight and opacity of the line.
  function PiecewiseLine(style) {
    this._style = style;
    this._renderer = new LazySVG();
    this._pieces = [];
    this._drawn = [];
    // The first of the repeated points counted as drawn but not drawn; -1: none.
    this._undrawnFrom = -1;
    this._source = [];
    this._toLeaflet = null;
    this._map = null;
    this._scheduled = false;
    this._listeners = [];
  }

  PiecewiseLine.prototype.addTo = function (leafletMap) {
    this._map = leafletMap;
    this._renderer.addTo(leafletMap);
    this._renderer._container.style.opacity = String(this._style.opacity);
    for (var k = 0; k < this._pieces.length; k++)
      this._pieces[k].addTo(leafletMap);
    return this;
  };

  PiecewiseLine.prototype.remove = function () {
    for (var k = 0; k < this._pieces.length; k++)
      this._pieces[k].remove();
    this._renderer.remove();
    this._map = null;
    return this;
  };

  // Shows the points (turned into [lat, lng] by toLeaflet) once the running
  // script has made all its changes: a batch is drawn once, and a moved car
  // and its longer driven line appear in the same frame.
  PiecewiseLine.prototype.show = function (points, toLeaflet) {
    this._source = points;
    this._toLeaflet = toLeaflet;
    if (this._scheduled) return;
    this._scheduled = true;
    var self = this;
    Promise.resolve().then(function () {
      self._scheduled = false;
      self._draw();
    });
  };

  // Clicks and other pointer events on the line, from pieces drawn now and
  // later alike. Leaflet reads a path's interactivity when it is added to the
  // map, so a piece already there is added again.
  PiecewiseLine.prototype.on = function (name, handler) {
    this._listeners.push([name, handler]);
    for (var k = 0; k < this._pieces.length; k++)
      this._listen(this._pieces[k], name, handler);
    return this;
  };

  PiecewiseLine.prototype._listen = function (piece, name, handler) {
    if (!piece.options.interactive) {
      piece.options.interactive = true;
      var map = piece._map;
      if (map) { piece.remove(); piece.addTo(map); }
    }
    piece.on(name, handler);
  };

  PiecewiseLine.prototype.drawnLength = function () { return this._drawn.length; };

  // The points as drawn, [lat, lng] each; repeats of the last point are
  // drawn with the next change of the line.
  PiecewiseLine.prototype.drawnLatLngs = function () {
    var out = [];
    for (var k = 0; k < this._pieces.length; k++) {
      var latlngs = this._pieces[k].getLatLngs();
      for (var i = k === 0 ? 0 : 1; i < latlngs.length; i++)
        out.push([latlngs[i].lat, latlngs[i].lng]);
    }
    return out;
  };

  // Piece k holds the points k * PIECE ... (k + 1) * PIECE - 1 and, after the
  // first, begins with the last point of the piece before it. Pieces before
  // the first changed point stay as they are.
  PiecewiseLine.prototype._draw = function () {
    var points = this._source, drawn = this._drawn;
    var same = 0, common = Math.min(points.length, drawn.length);
    while (same < common && points[same] === drawn[same]) same++;
    if (same === points.length && same === drawn.length) return;
    // Points that repeat the last drawn one add no pixel, as when a standing
    // car sends its position again: they count as drawn and no piece is
    // touched (the next real change draws its piece from the points anew).
    if (same === drawn.length && same > 0 && this._repeatsLast(points, same)) {
      if (this._undrawnFrom < 0) this._undrawnFrom = same;
      for (var r = same; r < points.length; r++)
        drawn.push(points[r]);
      return;
    }
    var first = this._undrawnFrom >= 0 ? Math.min(same, this._undrawnFrom) : same;
    this._undrawnFrom = -1;

    var count = Math.ceil(points.length / PIECE);
    for (var k = Math.floor(first / PIECE); k < count; k++) {
      var from = Math.max(0, k * PIECE - 1), to = Math.min(points.length, (k + 1) * PIECE);
      var latlngs = new Array(to - from);
      for (var i = from; i < to; i++)
        latlngs[i - from] = this._toLeaflet(points[i]);
      if (k < this._pieces.length) {
        this._pieces[k].setLatLngs(latlngs);
      } else {
        var piece = L.polyline(latlngs, {
          renderer: this._renderer,
          color: this._style.color,
          weight: this._style.weight,
          opacity: 1,
          interactive: this._listeners.length > 0
        });
        for (var n = 0; n < this._listeners.length; n++)
          piece.on(this._listeners[n][0], this._listeners[n][1]);
        this._pieces.push(piece);
        if (this._map) piece.addTo(this._map);
      }
    }
    while (this._pieces.length > count)
      this._pieces.pop().remove();

    drawn.length = same;
    for (var j = same; j < points.length; j++)
      drawn.push(points[j]);
  };

  PiecewiseLine.prototype._repeatsLast = function (points, from) {
    var last = this._toLeaflet(points[from - 1]);
    for (var i = from; i < points.length; i++) {
      var p = this._toLeaflet(points[i]);
      if (p[0] !== last[0] || p[1] !== last[1]) return false;
    }
    return true;
  };

  window.PiecewiseLine = PiecewiseLine;
})();
