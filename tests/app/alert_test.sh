#!/usr/bin/env bash
# The dose alert delivered: the whole program against the simulator at 100 dB, scraped every
# second by a real Prometheus that loads the shipped rules and sends to Debian's Alertmanager
# with the shipped route, whose webhook reaches a local receiver. DecimonDoseAboveLimit arrives
# with the meter's own name and location, and arrives resolved once the level has dropped.
# The rules' 8-hour window is scaled to 20 s (and its 28,800 seconds to 20), the route's waits
# to 1 s, since an 8-hour dose cannot fall within a test; the rest is as shipped.
#   alert_test.sh DECIMON SIMULATOR SOURCE-DIR
set -euo pipefail
decimon=$1 simulator=$2 sources=$3
. "$(dirname "$0")/x_session.sh"
command -v prometheus-alertmanager >/dev/null || fail "no prometheus-alertmanager (scripts/deps.sh installs it)"
session_begin alert
private_dirs
free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
endpoint_port=$(free_port) prometheus_port=$(free_port) alertmanager_port=$(free_port)

# The receiver: each notification's body a line of $work/hook.
python3 -c '
import http.server, sys
class Hook(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers["Content-Length"]))
        with open(sys.argv[1], "ab") as out:
            out.write(body.replace(b"\n", b" ") + b"\n")
        self.send_response(200)
        self.end_headers()
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(("127.0.0.1", 0), Hook)
print(server.server_address[1], flush=True)
server.serve_forever()' "$work/hook" >"$work/hook.port" &
session_pids+=($!)
wait_for 5 test -s "$work/hook.port" || fail "the webhook receiver did not start"

sed -E "s|url: .*|url: http://127.0.0.1:$(cat "$work/hook.port")/decimon|; s/(group_wait|group_interval): .*/\1: 1s/" \
  "$sources/docs/examples/alertmanager.yml" >"$work/alertmanager.yml"
prometheus-alertmanager --config.file="$work/alertmanager.yml" --storage.path="$work/alertmanager" \
  --web.listen-address="127.0.0.1:$alertmanager_port" --cluster.listen-address= >"$work/alertmanager.log" 2>&1 &
session_pids+=($!)

sed 's/\[8h\]/[20s]/g; s/28800/20/g' "$sources/metrics/decimon.rules.yml" >"$work/decimon.rules.yml"
sed "s/15s/1s/; s|/etc/prometheus/|$work/|; s/localhost:9093/127.0.0.1:$alertmanager_port/;
     s/targets: \[\"10.*/targets: [\"127.0.0.1:$endpoint_port\"]/" \
  "$sources/docs/examples/prometheus-decimon.yml" >"$work/prometheus.yml"
prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/tsdb" --rules.alert.resend-delay=1s \
  --web.listen-address="127.0.0.1:$prometheus_port" >"$work/prometheus.log" 2>&1 &
session_pids+=($!)

start_simulator "$simulator" --level 1000 --name "Press shop" --location "Hall 3"
write_settings "127.0.0.1:$port" '"PollingInterval"=dword:00000001' "\"MetricsAddress\"=\"127.0.0.1:$endpoint_port\""
QT_QPA_PLATFORM=offscreen "$decimon" >"$work/decimon.log" 2>&1 &
session_pids+=($!)

# notified STATUS: a notification of the dose alert in that state, naming the meter as it names
# itself, has reached the receiver.
notified() {
  [ -s "$work/hook" ] && python3 -c '
import json, sys
for line in open(sys.argv[1]):
    for alert in json.loads(line)["alerts"]:
        if (alert["labels"]["alertname"] == "DecimonDoseAboveLimit" and alert["status"] == sys.argv[2]
                and alert["annotations"].get("name") == "Press shop" and alert["annotations"].get("location") == "Hall 3"):
            sys.exit(0)
sys.exit(1)' "$work/hook" "$1"
}
trouble() { cat "$work/decimon.log" "$work/prometheus.log" "$work/alertmanager.log" "$work/hook" 2>/dev/null | tail -n 40 >&2; }
wait_for 30 notified firing || { trouble; fail "no DecimonDoseAboveLimit naming Press shop in Hall 3 reached the receiver"; }
echo "set level integer 600" >&3
wait_for 40 notified resolved || { trouble; fail "the dose alert did not arrive resolved after the level dropped"; }
echo "alert: DecimonDoseAboveLimit reached the webhook with the meter's name and location, and resolved"
