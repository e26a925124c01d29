#pragma once
// The polling worker: the procedure of the monitor's background thread. It sleeps until a
// request flag is set (stop, reconnect, poll), serves the flags, does all SNMP traffic
// without holding the lock, and publishes each poll's results in one locked write-back.

#include "monitor/monitor_state.h"

#include <string>

// Thread procedure; `monitor` is the MeterMonitor. Returns 0 once a stop was requested.
unsigned PollingWorker(void* monitor);

// The footer under the panel: FixedFooter alone for a meter without a name, else
// "name, location, FixedFooter", the name and location cut so that FixedFooter stays whole
// within the 255 characters of FooterText.
std::string ComposeFooter(const char* sysName, const char* sysLocation);

// SnmpTimeout and SnmpRetries as a session takes them, whatever a hand-edited file holds.
int SessionTimeoutMs(int snmpTimeout);
int SessionRetries(int snmpRetries);
