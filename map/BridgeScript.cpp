#include "map/BridgeScript.h"

#include <QFile>

namespace {

// Runs after the channel's client library inside one function, so nothing of
// it leaks into the page besides the three names it defines on purpose.
constexpr char kBootstrap[] = R"JS(
  var objects = null, handler = null, accessor = null, waiting = [];
  new QWebChannel(qt.webChannelTransport, function (channel) {
    objects = channel.objects;
    handler = channel.objects.%1;
    accessor = channel.objects.%2;
    waiting.splice(0).forEach(function (f) { f(); });
  });
  function whenReady(f) { if (objects) f(); else waiting.push(f); }

  var app = window.app || {};
  app.jsInvokeCPlusPlus = function () {
    var args = Array.prototype.slice.call(arguments);
    return new Promise(function (resolve) {
      whenReady(function () { handler.Invoke("jsInvokeCPlusPlus", args, resolve); });
    });
  };
  // The map pages tell which route point was clicked.
  app.routePointClicked = function (index) {
    whenReady(function () { handler.Invoke("routePointClicked", [index], function () {}); });
  };
  // A page's own object on the channel (a promise of it; null when the
  // program published none by that name).
  app.channelObject = function (name) {
    return new Promise(function (resolve) {
      whenReady(function () { resolve(objects[name] || null); });
    });
  };
  window.app = app;
  window.jsValue = "C++ created Value!";

  var stored = "";
  var myobject = {};
  Object.defineProperty(myobject, "myval", {
    enumerable: true,
    get: function () { return stored; },
    set: function (value) {
      if (typeof value !== "string")
        throw new Error("Invalid value type");
      stored = value;
      whenReady(function () { accessor.Store("myval", value); });
    }
  });
  window.myobject = myobject;
)JS";

} // namespace

QString BridgeScriptSource() {
    QFile client(QStringLiteral(":/qtwebchannel/qwebchannel.js"));
    if (!client.open(QIODevice::ReadOnly))
        return QString();
    return QStringLiteral("(function () {\n"
                          "  if (typeof qt === 'undefined' || !qt.webChannelTransport) return;\n") +
           QString::fromUtf8(client.readAll()) +
           QString::fromLatin1(kBootstrap).arg(kBridgeHandlerName, kBridgeAccessorName) +
           QStringLiteral("})();\n");
}
