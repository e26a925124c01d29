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
work=$(mktemp -d /tmp/decimon-exit-XXXXXX)
xvfb_pid= sim_pid= app_pid= ns_pid=
cleanup() {
  [ -z "$sim_pid" ] || kill -CONT "$sim_pid" 2>/dev/null || true
  for pid in $app_pid $sim_pid $ns_pid $xvfb_pid; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  exec 3>&- 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Time bounds stretch under the sanitizers (scripts/test.sh sets DECIMON_TIME_SCALE).
scale=${DECIMON_TIME_SCALE:-1}
wait_for() { for _ in $(seq $((200 * scale))); do eval "$1" && return 0; sleep 0.05; done; fail "$2"; }

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
ns_pid=$!
wait_for '[ -s "$work/ns.out" ]' "the silent name server did not start"
echo "nameserver $(head -n 1 "$work/ns.out")" >"$work/resolv.conf"
echo "hosts: files dns" >"$work/nsswitch.conf"
mount --bind "$work/resolv.conf" /etc/resolv.conf && mount --bind "$work/nsswitch.conf" /etc/nsswitch.conf

# Xvfb picks a free display itself, so that tests running side by side never share one.
Xvfb -displayfd 4 -screen 0 1280x800x24 -nolisten tcp 4>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
wait_for '[ -s "$work/display" ]' "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir -p "$XDG_CONFIG_HOME/Corvanta"

# settings HOST: the meter at HOST, polled every second, 60 000 ms time-out, 9 retries.
settings() {
  printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon]\n"HostName"="%s"\n"PollingInterval"=dword:00000001\n"SnmpTimeout"=dword:0000ea60\n"SnmpRetries"=dword:00000009\n' \
    "$1" >"$XDG_CONFIG_HOME/Corvanta/Decimon.reg"
}
window_id() { xwininfo -root -tree 2>/dev/null | awk '/"Decimon": \("decimon" "Decimon"\)/ {print $1; exit}'; }
start_display() {
  "$decimon" >"$work/decimon.log" 2>&1 &
  app_pid=$!
  wait_for '[ -n "$(window_id)" ]' "no window named Decimon"
  win=$(window_id)
}
# The display must end with status 0 within 2 s of now.
expect_end() {
  local status=0
  for _ in $(seq $((40 * scale))); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$app_pid" 2>/dev/null && fail "$1: the display still runs 2 s after it was asked to end"
  wait "$app_pid" || status=$?
  app_pid=
  [ "$status" -eq 0 ] || fail "$1: the display ended with status $status"
}

# (a) The name does not resolve, and the name server keeps the lookup hanging.
settings "meter.decimon-test.example:161"
start_display
wait_for 'grep -q query "$work/ns.out"' "the display never asked the name server"
sleep 0.5
"$close_window" "$win"
expect_end "hung name lookup"

# (b) The meter answered, then stopped while the next poll's GET was under way.
mkfifo "$work/sim.in"
"$simulator" --port 0 --level 853 <"$work/sim.in" >"$work/sim.out" &
sim_pid=$!
exec 3>"$work/sim.in"
wait_for 'grep -q listening "$work/sim.out"' "the simulator did not start"
settings "127.0.0.1:$(head -n 1 "$work/sim.out" | sed 's/.*://')"
start_display
sleep 1.5  # the first poll, 500 ms after the first paint, is answered
kill -STOP "$sim_pid"
sleep 1.5  # the next poll's GET is now under way, unanswered
xdotool windowfocus --sync "$win" key f
sleep 0.5
# The display may end before xdotool sends the release of X to its window, which is then gone.
xdotool key --window "$win" alt+f x 2>/dev/null || true
expect_end "stopped meter"
echo "exit: ends within 2 s during a hung name lookup and during a GET to a stopped meter"
