#pragma once
#include <QString>

// Names under which the native objects are published on a page's web channel.
inline const char* const kBridgeHandlerName = "v8handler";
inline const char* const kBridgeAccessorName = "accessor";

// The script run at the creation of every document. It does nothing unless
// the web channel's transport is there, that is on our own local pages; there
// it defines app.jsInvokeCPlusPlus (returning a promise of the result),
// app.channelObject (a promise of a page's own object on the channel),
// jsValue and myobject.myval.
QString BridgeScriptSource();
