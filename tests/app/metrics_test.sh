#!/usr/bin/env bash
# The metrics endpoint of the whole program under Xvfb, scraped every second by a real
# Prometheus on loopback that loads the shipped rules: the level, the Leq worked out from the
# exposure counters against the simulator's steady level, meter_up going to 0 when the meter
# falls silent, hostile clients from 32 other addresses that neither starve the scrapes from
# 127.0.0.1 nor slow the display nor keep its memory and descriptors, and an exit within 2 s
# with a scrape under way. Before that, an address that cannot be bound yet costs one line on
# standard error and nothing else, not even the HTTP, YAML or crypt library, and comes up by
# itself once free. Then TLS with passwords: a web configuration that cannot be read leaves no
# endpoint, and with the site's file Prometheus scrapes over TLS with a client certificate and
# basic_auth, and every scrape has its page within 0.5 s while 32 hosts guess passwords against a
# cost-10 hash, and while one guesses against a cost-14 one. SIGTERM ends the display within 2 s
# with its web configuration a FIFO, and with password checks of cost 14 under way. Last, the web
# configuration and its files read anew while curl scrapes: a new certificate, a revoked password,
# and a broken file that closes the endpoint until it is put right.
#   metrics_test.sh DECIMON SIMULATOR RULES HOSTILE-CLIENTS ARTIFACTS
set -euo pipefail
decimon=$1 simulator=$2 rules=$3 hostile=$4 artifacts=$5
mkdir -p "$artifacts"
. "$(dirname "$0")/x_session.sh"
command -v prometheus >/dev/null || fail "no prometheus (scripts/deps.sh installs it)"
session_begin metrics
start_xvfb 1280x800
start_simulator "$simulator" --level 853 --weighting 1 --name "Press shop" --location "Hall 3"
meter=127.0.0.1:$port

free_port() { python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
prometheus_port=$(free_port)
settings=('"SnmpTimeout"=dword:000000fa' '"SnmpRetries"=dword:00000001' '"PollingInterval"=dword:00000001')

# 1. A port that is taken: one line saying it will be tried again (retries say nothing more), the
# display shows the meter meanwhile; once the port is free the endpoint comes up by itself. The
# holder takes a port of the system's choosing and tells it, so that no other program can take
# it between a look for a free port and the bind.
python3 -c 'import socket,time; s=socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(); print(s.getsockname()[1], flush=True); time.sleep(60)' \
  >"$work/holder.port" &
holder=$!
session_pids+=("$holder")
wait_for 5 test -s "$work/holder.port" || fail "the port holder did not start"
endpoint_port=$(cat "$work/holder.port")
endpoint=http://127.0.0.1:$endpoint_port/metrics
write_settings "$meter" "${settings[@]}" "\"MetricsAddress\"=\"127.0.0.1:$endpoint_port\""
start_display "$decimon"
sleep 7  # past the first try again
screenshot "$artifacts/metrics-port-taken.png"
check_meter_shot "$artifacts/metrics-port-taken.png"
lines=$(grep -c "^decimon: no metrics endpoint at MetricsAddress \"127.0.0.1:$endpoint_port\" yet: Address already in use; it will be tried again" \
  "$work/decimon.log" || true)
[ "$lines" = 1 ] && [ "$(grep -c MetricsAddress "$work/decimon.log")" = 1 ] ||
  { cat "$work/decimon.log" >&2; fail "a taken port: not one line on standard error"; }
! grep -q -e libmicrohttpd -e libyaml-cpp -e 'libcrypt\.so' "/proc/$app_pid/maps" ||
  fail "a display without an endpoint mapped the HTTP, YAML or crypt library"
kill "$holder"
wait "$holder" 2>/dev/null || true

# 2. The endpoint up, and Prometheus scraping it every second.
listening() { [ "$(grep -c "^decimon: the metrics endpoint at MetricsAddress \"127.0.0.1:$endpoint_port\" listens now$" "$work/decimon.log")" = 1 ]; }
wait_for 10 listening || { cat "$work/decimon.log" >&2; fail "the endpoint did not say once that it came up with its port free"; }
curl -sf --max-time 1 -o /dev/null "$endpoint" || fail "no page at $endpoint"
cat >"$work/prometheus.yml" <<CONF
global:
  scrape_interval: 1s
  evaluation_interval: 1s
rule_files: ["$rules"]
scrape_configs:
  - job_name: decimon
    static_configs:
      - targets: ["127.0.0.1:$endpoint_port"]
CONF
prometheus --config.file="$work/prometheus.yml" --storage.tsdb.path="$work/tsdb" \
  --web.listen-address="127.0.0.1:$prometheus_port" >"$work/prometheus.log" 2>&1 &
prometheus_pid=$!
session_pids+=("$prometheus_pid")

# query EXPRESSION: the first value of an instant query, empty when there is none.
query() {
  curl -sf --max-time 2 --get "http://127.0.0.1:$prometheus_port/api/v1/query" --data-urlencode "query=$1" |
    python3 -c 'import json,sys; r=json.load(sys.stdin)["data"]["result"]; print(r[0]["value"][1] if r else "")' \
      2>/dev/null || true  # nothing while Prometheus is starting
}
is() { [ "$(query "$1")" = "$2" ]; }
wait_for 30 is "up{job=\"decimon\"}" 1 || { cat "$work/prometheus.log" >&2; fail "Prometheus does not scrape the display"; }
wait_for 10 is "decimon_sound_level_decibels{meter=\"$meter\",weighting=\"dBA\"}" 85.3 ||
  fail "the level in Prometheus is '$(query decimon_sound_level_decibels)', not 85.3"

# 3. Leq from the counters over 20 s of scrapes: the steady 85.3 dB within 0.05 dB.
sleep 20
leq_query='10 * log10(increase(decimon_sound_exposure_pascal_squared_seconds_total[20s]) / increase(decimon_measured_seconds_total[20s]) / 4e-10)'
leq=$(query "$leq_query")
awk -v l="$leq" 'BEGIN{d = l - 85.3; exit !(l != "" && d < 0.05 && d > -0.05)}' || fail "Leq from the counters is '$leq', not 85.3"
curl -sf --max-time 1 "$endpoint" | promtool check metrics 2>&1 | grep . && fail "promtool has a message on the display's own page"

# 4. Hostile clients from 32 addresses (127.0.0.2 to .33), each holding all the connections it
# may: the scrapes from 127.0.0.1 get through, no slow-header connection is held much past the
# 10 s its headers may take, the display polls and paints on time, and gives back what they took.
# Sockets only: the record opens its database files at the first minute's turn, whenever that falls.
fds() { find "/proc/$app_pid/fd" -lname 'socket:*' | wc -l; }
rss_kb() { awk '/^VmRSS:/{print $2}' "/proc/$app_pid/status"; }
fds_before=$(fds) rss_before=$(rss_kb)
gets_before=$(echo count >&3; sleep 0.3; tail -n 1 "$work/sim.out" | awk '{print $NF}')
started=$(date +%s.%N)
"$hostile" "$endpoint_port" 20 >"$work/hostile.log" 2>&1 &
hostile_pid=$!
session_pids+=("$hostile_pid")
sleep 3
screenshot "$artifacts/metrics-hostile-before.png"
echo "set level integer 702" >&3
sleep 2.5
screenshot "$artifacts/metrics-hostile-after.png"
differing=$(compare -metric AE "$artifacts/metrics-hostile-before.png" "$artifacts/metrics-hostile-after.png" null: 2>&1 || true)
[ "$differing" != 0 ] || fail "the display did not paint the new level while the clients attacked"
wait_for 45 eval '! kill -0 "$hostile_pid" 2>/dev/null' || fail "the hostile clients did not end within $((45 * scale)) s"
wait "$hostile_pid" || fail "the hostile clients failed: $(cat "$work/hostile.log")"
cat "$work/hostile.log"
read -r answered tried < <(sed -n 's/^scrapes from 127.0.0.1: \([0-9]*\) of \([0-9]*\) answered.*/\1 \2/p' "$work/hostile.log") || true
[ "${tried:-0}" -ge 15 ] && [ $((answered * 10)) -ge $((tried * 9)) ] ||
  fail "${answered:-no} of ${tried:-no} scrapes from 127.0.0.1 answered within 1 s while 32 hosts attacked"
held=$(sed -n 's/^slow-header: .*the longest held \([0-9.]*\) s.*/\1/p' "$work/hostile.log")
awk -v h="$held" 'BEGIN{exit !(h != "" && h <= 13)}' || fail "a slow-header connection was held $held s (headers may take 10 s)"
echo "after the clients: $(fds) descriptors (before $fds_before), RSS $(rss_kb) kB (before $rss_before)"
gets=$(( $(echo count >&3; sleep 0.3; tail -n 1 "$work/sim.out" | awk '{print $NF}') - gets_before ))
seconds=$(awk -v s="$started" -v n="$(date +%s.%N)" 'BEGIN{printf "%d", n - s - 0.3}')
# Four GETs a poll, a poll a second; allow one poll in five to fall on a busy machine.
[ "$gets" -ge $((seconds * 4 * 4 / 5)) ] || fail "$gets GETs in $seconds s of attack: the polls were held up"
# Under AddressSanitizer freed memory waits in its quarantine and RSS stays up: there its leak
# check at the display's exit judges what the clients left behind.
asan=$(grep -c libasan "/proc/$app_pid/maps" || true)
back() { [ "$(fds)" -le $((fds_before + 2)) ] && { [ "$asan" != 0 ] || [ "$(rss_kb)" -le $((rss_before + 4096)) ]; }; }
wait_for 20 back || {
  ls -l "/proc/$app_pid/fd" >&2
  ss -tanp 2>/dev/null | grep -F "pid=$app_pid," >&2 || true
  fail "after 20 s: $(fds) descriptors (before $fds_before), RSS $(rss_kb) kB (before $rss_before)"
}
echo "back within 20 s: $(fds) descriptors, RSS $(rss_kb) kB; $gets GETs to the meter in $seconds s of attack"
curl -sf --max-time "$scale" -o /dev/null "$endpoint" || fail "no scrape within 1 s once the clients had gone"
wait_for 10 is "decimon_sound_level_decibels{meter=\"$meter\"}" 70.2 || fail "Prometheus no longer sees the level"

# 5. The meter falls silent: "---" from the third failed poll, and meter_up 0 in Prometheus.
echo "silent on" >&3
wait_for 15 is "decimon_meter_up{meter=\"$meter\"}" 0 || fail "meter_up is '$(query decimon_meter_up)' with the meter silent"
[ -z "$(query "decimon_sound_level_decibels{meter=\"$meter\"}")" ] || fail "a level series while the display shows ---"
echo "silent off" >&3

# 6. SIGTERM with a scrape under way (a client that sent half its request) ends within 2 s.
exec 4<>"/dev/tcp/127.0.0.1/$endpoint_port"
printf 'GET /metrics HTTP/1.1\r\nHost: x\r\n' >&4
for _ in 1 2 3 4 5; do curl -s --max-time 1 -o /dev/null "$endpoint" & done
kill -TERM "$app_pid"
expect_exit 2 "SIGTERM with a scrape under way"
exec 4>&-

# 7. TLS with passwords. A web configuration that cannot be read: one line naming it, and
#    nothing listens. With the file there, Prometheus scrapes over TLS with a client certificate
#    and basic_auth, and a client that sends half a handshake and waits costs the display no CPU
#    (the library's epoll loop spun on it).
tls=$work/tls
mkdir -p "$tls"
"$(dirname "$0")/../support/make_tls_credentials.sh" "$tls" 10
write_settings "$meter" "${settings[@]}" "\"MetricsAddress\"=\"127.0.0.1:$endpoint_port\"" \
  "\"MetricsWebConfig\"=\"$tls/web.yml\""
start_display "$decimon"
wait_for 10 grep -q MetricsWebConfig "$work/decimon.log" || true
[ "$(grep -c "^decimon: no metrics endpoint at MetricsAddress \"127.0.0.1:$endpoint_port\": MetricsWebConfig \"$tls/web.yml\": the file cannot be read: No such file or directory" \
  "$work/decimon.log")" = 1 ] || { cat "$work/decimon.log" >&2; fail "a missing web configuration: not one line"; }
! curl -s --max-time 1 -o /dev/null "$endpoint" || fail "an endpoint without its web configuration"
kill -TERM "$app_pid"
expect_exit 5 SIGTERM
printf 'tls_server_config: {cert_file: server.crt, key_file: server.key, client_ca_file: clients-ca.crt, client_auth_type: RequireAndVerifyClientCert}\nbasic_auth_users: {prometheus: "%s"}\n' \
  "$(cat "$tls/hash")" >"$tls/web.yml"
start_display "$decimon"
cat >>"$work/prometheus.yml" <<CONF
  - job_name: decimon_tls
    scheme: https
    tls_config: {ca_file: $tls/server.crt, cert_file: $tls/client.crt, key_file: $tls/client.key}
    basic_auth: {username: prometheus, password: s3cret}
    static_configs: [{targets: ["127.0.0.1:$endpoint_port"]}]
CONF
kill -HUP "$prometheus_pid"
wait_for 30 is "decimon_sound_level_decibels{job=\"decimon_tls\",meter=\"$meter\"}" 70.2 ||
  { cat "$work/prometheus.log" >&2; fail "no level from Prometheus' scrapes over TLS with basic_auth"; }
ticks() { awk '{print $14 + $15}' "/proc/$app_pid/stat"; }
exec 5<>"/dev/tcp/127.0.0.1/$endpoint_port"
printf '\x16\x03\x01\x00' >&5
before=$(ticks)
sleep 3
[ $(($(ticks) - before)) -le 60 ] || fail "half a TLS handshake cost the display $(($(ticks) - before)) ticks in 3 s"
exec 5>&-

# guessing HOSTS SECONDS: password guessers from HOSTS addresses, 4 connections each, while a
# scraper of its own address with the right password asks every 0.25 s over TLS: every page
# within 1 s and 19 in 20 within 0.5 s (on the shared test machine an odd scrape waits for a
# core however the display serves it; runs show every one within 0.5 s as a rule).
guessing() {
  "$hostile" "$endpoint_port" "$2" guess "$1" "$tls" >"$work/guess.log" 2>&1 ||
    fail "the guessers failed: $(cat "$work/guess.log")"
  cat "$work/guess.log"
  read -r answered tried second < <(sed -n 's/^scrapes from 127.0.0.254: \([0-9]*\) of \([0-9]*\) answered within 0.5 s, \([0-9]*\) within 1 s.*/\1 \2 \3/p' "$work/guess.log") || true
  [ "${tried:-0}" -ge $((3 * $2)) ] && { { [ "$second" = "$tried" ] && [ $((answered * 20)) -ge $((tried * 19)) ]; } || [ "$scale" != 1 ]; } ||
    fail "${answered:-no} of ${tried:-no} scrapes had their page within 0.5 s (${second:-no} within 1 s) while $1 hosts guessed passwords"
}
guessing 32 8
kill -TERM "$app_pid"
expect_exit 5 SIGTERM

# 8. SIGTERM ends the display within 2 s with status 0 with its web configuration a FIFO, and with
#    wrong passwords' bcrypt checks of cost 14 under way (served without TLS after one line).
mkfifo "$tls/web.fifo"
write_settings "$meter" "${settings[@]}" "\"MetricsAddress\"=\"127.0.0.1:$endpoint_port\"" \
  "\"MetricsWebConfig\"=\"$tls/web.fifo\""
start_display "$decimon"
sleep 1
kill -TERM "$app_pid"
expect_exit 2 "SIGTERM with the web configuration a FIFO"
grep -q "MetricsWebConfig \"$tls/web.fifo\": the file cannot be read: it is a FIFO, not a regular file;" "$work/decimon.log" ||
  { cat "$work/decimon.log" >&2; fail "a FIFO as the web configuration: no line saying so"; }
"$(dirname "$0")/../support/make_tls_credentials.sh" "$tls" 14
printf 'basic_auth_users: {prometheus: "%s"}\n' "$(cat "$tls/hash")" >"$tls/web.yml"
write_settings "$meter" "${settings[@]}" "\"MetricsAddress\"=\"127.0.0.1:$endpoint_port\"" \
  "\"MetricsWebConfig\"=\"$tls/web.yml\""
start_display "$decimon"
unauthorized() { [ "$(curl -s --max-time 1 -o /dev/null -w '%{http_code}' "$endpoint")" = 401 ]; }
wait_for 10 unauthorized || { cat "$work/decimon.log" >&2; fail "no 401 from the endpoint with passwords"; }
[ "$(grep -c "^decimon: MetricsWebConfig \"$tls/web.yml\" has basic_auth_users but no tls_server_config: the metrics endpoint's passwords go over the network in clear$" \
  "$work/decimon.log")" = 1 ] || { cat "$work/decimon.log" >&2; fail "passwords without TLS: not one line saying so"; }
for guess in 1 2 3 4; do curl -s --max-time 5 -o /dev/null -u "prometheus:$guess" "$endpoint" & done
sleep 0.5
kill -TERM "$app_pid"
expect_exit 2 "SIGTERM with bcrypt checks of cost 14 under way"

# 9. One host guessing against the cost-14 hash over TLS, where a check takes about a second.
printf 'tls_server_config: {cert_file: server.crt, key_file: server.key}\nbasic_auth_users: {prometheus: "%s"}\n' \
  "$(cat "$tls/hash")" >"$tls/web.yml"
start_display "$decimon"
tls_unauthorized() { [ "$(curl -s --max-time 1 --cacert "$tls/server.crt" -o /dev/null -w '%{http_code}' "https://127.0.0.1:$endpoint_port/metrics")" = 401 ]; }
wait_for 10 tls_unauthorized || { cat "$work/decimon.log" >&2; fail "no 401 over TLS with a cost-14 hash"; }
guessing 1 6
kill -TERM "$app_pid"
expect_exit 2 "SIGTERM after guesses against a cost-14 hash"

# 10. Reload while curl scrapes: a new certificate and key, a revoked password and a broken file
#     each hold within 3 s of being written (checked once a second); a broken file closes the
#     endpoint to everyone with one line, and putting it right opens it again.
rotated=$work/rotated
mkdir -p "$rotated"
"$(dirname "$0")/../support/make_tls_credentials.sh" "$tls" 4
"$(dirname "$0")/../support/make_tls_credentials.sh" "$rotated" 4
web() { printf 'tls_server_config: {cert_file: server.crt, key_file: server.key}\nbasic_auth_users: {%s: "%s"}\n' "$1" "$(cat "$tls/hash")" >"$tls/web.yml.new" && mv "$tls/web.yml.new" "$tls/web.yml"; }
web prometheus
start_display "$decimon"
scrape() { [ "$(curl -s --max-time 1 --cacert "$1" -u prometheus:s3cret -o /dev/null -w '%{http_code}' "https://127.0.0.1:$endpoint_port/metrics")" = "$2" ]; }
wait_for 10 scrape "$tls/server.crt" 200 || { cat "$work/decimon.log" >&2; fail "no page over TLS before the reload"; }
cp "$tls/server.crt" "$work/old.crt"
cp "$rotated/server.key" "$tls/server.key" && cp "$rotated/server.crt" "$tls/server.crt"
wait_for 3 scrape "$rotated/server.crt" 200 || { cat "$work/decimon.log" >&2; fail "a new certificate did not hold within 3 s"; }
scrape "$work/old.crt" 000 || fail "the old certificate still served after the rotation"
web someone
wait_for 3 scrape "$tls/server.crt" 401 || fail "a revoked password still let in after 3 s"
printf 'tls_server_config: {cert_file: gone.crt, key_file: server.key}\n' >"$tls/web.yml"
wait_for 3 grep -q "the metrics endpoint is closed until that is put right" "$work/decimon.log" || fail "a broken web configuration: no line"
[ "$(curl -s --max-time 1 -o /dev/null -w '%{http_code}' "http://127.0.0.1:$endpoint_port/metrics")" = 000 ] &&
  scrape "$tls/server.crt" 000 || fail "a broken web configuration left the endpoint open"
[ "$(grep -c "closed until that is put right" "$work/decimon.log")" = 1 ] || fail "a broken web configuration: not one line"
web prometheus
wait_for 3 scrape "$tls/server.crt" 200 || fail "the endpoint did not open again once its file was put right"
kill -TERM "$app_pid"
expect_exit 2 "SIGTERM after the reloads"
echo "metrics: level, Leq $leq, meter_up 0 when silent, hostile clients, exit within 2 s, TLS with basic_auth, scrapes within 0.5 s under password guessing, SIGTERM within 2 s with a FIFO and cost-14 checks, reloads of the web configuration"
