#pragma once
// The metrics endpoint's server with a web configuration, re-read without a restart: once a
// second its own thread stats the web configuration and every file it names (its device, inode,
// size and times: no file is opened while nothing changed), and when one has changed the server
// (http_metrics_server.h) is started anew from them, so that a new password list, certificate,
// key or client CA holds from the next connection and no password is remembered across it. A
// new configuration that cannot be used leaves the endpoint closed, with one line: the listening
// socket is kept, and every connection is accepted and closed at once, never answered with the
// old configuration nor with none; the files are then tried again each second (the line said
// again only when the reason changes) until they can be used. Built into the server's module.

#include "metrics/metrics_server.h"

#include <memory>
#include <string>

// The server as `options` say, reloading when it has a web configuration; null with the reason
// when the web configuration cannot be used at the start or no thread can be started.
std::unique_ptr<MetricsServer> StartReloadingServer(MetricsServerOptions options, std::string* reason);
