#!/usr/bin/env bash
# The display ends within 2 s of being asked, whatever its meter does:
#   (a) its meter's name is being looked up at a name server that never answers (window closed);
#   (b) its meter was stopped while a GET with a 60 000 ms time-out and 9 retries was under way
#       (File > Exit).
# Runs as root in a mount namespace of its own, where /etc/resolv.conf names the silent server.
#   exit_test.sh DECIMON SIMULATOR X-CLOSE-WINDOW
set -euo pipefail
decimon=$1 simulator=$2 close_window=$3
if [ -z "${DECIMON_EXIT_TEST_NAMESPACE:-}" ]; then
  [ "$(id -u)" -eq 0 ] || { echo "SKIP: needs root for a private mount namespace"; exit 77; }
  exec unshare -m env DECIMON_EXIT_TEST_NAMESPACE=1 "$0" "$@"
fi
. "$(dirname "$0")/x_session.sh"
session_begin exit

# A silent name server on a loopback address of its own: it reports each query, answers none.
python3 -u -c '
import os, socket
server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
for host in range(1, 255):
    try: server.bind(("127.53.%d.%d" % (os.getpid() % 250, host), 53)); break
    except OSError: pass
print(server.getsockname()[0])
while server.recv(512): print("query")
' >"$work/ns.out" &
session_pids+=($!)
wait_for 10 test -s "$work/ns.out" || fail "the silent name server did not start"
echo "nameserver $(head -n 1 "$work/ns.out")" >"$work/resolv.conf"
echo "hosts: files dns" >"$work/nsswitch.conf"
mount --bind "$work/resolv.conf" /etc/resolv.conf && mount --bind "$work/nsswitch.conf" /etc/nsswitch.conf

start_xvfb 1280x800

# settings HOST: the meter at HOST, polled every second, 60 000 ms time-out, 9 retries.
settings() {
  write_settings "$1" '"PollingInterval"=dword:00000001' '"SnmpTimeout"=dword:0000ea60' '"SnmpRetries"=dword:00000009'
}

# (a) The name does not resolve, and the name server keeps the lookup hanging.
settings "meter.decimon-test.example:161"
start_display "$decimon"
wait_for 10 grep -q query "$work/ns.out" || fail "the display never asked the name server"
sleep 0.5
"$close_window" "$win"
expect_exit 2 "closing it during a hung name lookup"

# (b) The meter answered, then stopped while the next poll's GET was under way.
start_simulator "$simulator" --level 853
settings "127.0.0.1:$port"
start_display "$decimon"
sleep 1.5  # the first poll, 500 ms after the first paint, is answered
kill -STOP "$sim_pid"
sleep 1.5  # the next poll's GET is now under way, unanswered
press "$win" f
sleep 0.5
# The display may end before xdotool sends the release of X to its window, which is then gone.
xdo key --window "$win" alt+f x 2>/dev/null || true
expect_exit 2 "File > Exit during a GET to a stopped meter"
echo "exit: ends within 2 s during a hung name lookup and during a GET to a stopped meter"
