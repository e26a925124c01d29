# Sourced by the whole-program scripts (the tests here and bench/whole_program.sh), after
# `set -euo pipefail`: a private work folder, a private X server, the meter simulator, the
# display's settings file and its windows. Everything started through it ends at exit.
#   session_begin NAME          $work: a new /tmp/decimon-NAME-XXXXXX, removed at exit
#   session_pids+=(PID)         a process to end at exit (a stopped one is continued first)
#   wait_for SECONDS COMMAND... until COMMAND succeeds; its status after SECONDS otherwise
#   bounded SECONDS WHAT COMMAND...  COMMAND, failing with WHAT it waited for after SECONDS
#   xdo ARGUMENT...             xdotool with a bound (keys to the window that has the focus)
#   press WINDOW KEY...         WINDOW given the keyboard focus, then the keys typed into it
#   screenshot FILE             the X screen into FILE
#   private_dirs                XDG_RUNTIME_DIR, XDG_CONFIG_HOME and XDG_DATA_HOME in $work
#   start_xvfb [WxH] [OPTION]...  DISPLAY set ($xvfb_pid), and the private folders
#   start_simulator PROGRAM [OPTION]...  on a free loopback port ($port, $sim_pid); commands
#                               go to it through file descriptor 3
#   start_session_bus           a private session bus, DBUS_SESSION_BUS_ADDRESS set
#   write_settings HOST [LINE]...  the display's settings file: HostName and the given lines
#   start_display COMMAND...    the display as COMMAND runs it, its main window up ($app_pid, $win)
#   expect_exit SECONDS HOW     the display ($app_pid) ends with status 0 within SECONDS of HOW
#   window_named TITLE, window_id, has_window [TITLE]  the display's window with that title,
#                               its main window, whether that (or the main one) is mapped
#   pixel IMAGE X Y, share_of IMAGE COLOUR W H X Y  a pixel's colour (RRGGBB), the share of
#                               COLOUR's pixels in the rectangle W x H at X,Y
#   check_meter_shot IMAGE      a 1280x800 screenshot shows the meter picture over all of it

# Time bounds stretch under the sanitizers (scripts/test.sh sets DECIMON_TIME_SCALE). Every
# wait has a bound of its own, and one that runs out says what it waited for: a test that hangs
# until CTest's limit says nothing.
scale=${DECIMON_TIME_SCALE:-1}
session_pids=()

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

session_end() {
    local pid
    for pid in "${session_pids[@]}"; do
        kill -CONT "$pid" 2>/dev/null || true
        kill "$pid" 2>/dev/null || true
    done
    # One that does not end on SIGTERM (a hung display) is killed, so that the end never hangs.
    for pid in "${session_pids[@]}"; do
        wait_for 5 eval "! kill -0 $pid 2>/dev/null" || {
            echo "session end: process $pid ($(tr '\0' ' ' </proc/"$pid"/cmdline 2>/dev/null)) did not end within $((5 * scale)) s of SIGTERM; killed" >&2
            kill -KILL "$pid" 2>/dev/null || true
        }
    done
    wait "${session_pids[@]}" 2>/dev/null || true
    exec 3>&- 2>/dev/null || true
    rm -rf "$work"
}

session_begin() {
    work=$(mktemp -d "/tmp/decimon-$1-XXXXXX")
    trap session_end EXIT
}

milliseconds() { echo $(($(date +%s%N) / 1000000)); }

# By the clock, not by a count of tries: a try may take long under load.
wait_for() {
    local deadline=$(($(milliseconds) + $1 * 1000 * scale))
    shift
    while [ "$(milliseconds)" -lt "$deadline" ]; do
        "$@" && return 0
        sleep 0.05
    done
    "$@"
}

bounded() {
    local limit=$(($1 * scale)) what=$2 status=0
    shift 2
    timeout "$limit" "$@" || status=$?
    [ "$status" -ne 124 ] || fail "$what did not end within $limit s"
    return "$status"
}

xdo() { bounded 5 "xdotool $*" xdotool "$@"; }

# Focusing a window that is not viewable yet fails, and xdotool's --sync then waits for ever
# for the focus: each try has a bound of its own, the tries one in all.
press() {
    local window=$1
    shift
    wait_for 10 timeout $((2 * scale)) xdotool windowfocus --sync "$window" ||
        fail "window $window did not get the keyboard focus within $((10 * scale)) s (for the keys $*)"
    xdo key "$@"
}

start_xvfb() {
    local size=${1:-1280x800}
    [ $# -eq 0 ] || shift
    # The server picks a free display number itself: no race with other tests for one.
    # -noreset: without it the server resets whenever its last client leaves (a check such as
    # xwininfo while the display is still starting), and a client that connects during the
    # reset is refused; under load that failed a display's start now and then.
    Xvfb -displayfd 9 -screen 0 "${size}x24" -nolisten tcp -noreset "$@" 9>"$work/display" >"$work/xvfb.log" 2>&1 &
    xvfb_pid=$!
    session_pids+=("$xvfb_pid")
    wait_for 10 test -s "$work/display" || fail "Xvfb did not start"
    DISPLAY=:$(head -n 1 "$work/display")
    export DISPLAY
    private_dirs
}

private_dirs() {
    export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
}

start_simulator() {
    mkfifo "$work/sim.in"
    "$@" --port 0 <"$work/sim.in" >"$work/sim.out" &
    sim_pid=$!
    session_pids+=("$sim_pid")
    exec 3>"$work/sim.in"
    wait_for 10 grep -q listening "$work/sim.out" || fail "the simulator did not start"
    port=$(head -n 1 "$work/sim.out" | sed 's/.*://')
}

start_session_bus() {
    cat >"$work/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$work</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
    dbus-daemon --config-file="$work/bus.conf" --nofork --print-address=3 3>"$work/bus.address" 2>"$work/bus.log" &
    session_pids+=($!)
    wait_for 5 test -s "$work/bus.address" || fail "dbus-daemon did not start"
    DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus.address")
    export DBUS_SESSION_BUS_ADDRESS
}

write_settings() {
    local host=$1
    shift
    mkdir -p "$XDG_CONFIG_HOME/Corvanta"
    {
        printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Corvanta\\Decimon]\n"HostName"="%s"\n' "$host"
        [ $# -eq 0 ] || printf '%s\n' "$@"
    } >"$XDG_CONFIG_HOME/Corvanta/Decimon.reg"
}

# Qt also makes unmapped helper windows with the program's name; they carry no class.
window_named() {
    xwininfo -root -tree 2>/dev/null | awk -v name="\"$1\": (\"decimon\"" 'index($0, name) {print $1; exit}'
}
window_id() { window_named Decimon; }
# Viewable too: focusing a window that is not mapped yet fails (slowly mapped under the sanitizers).
has_window() {
    local id
    id=$(window_named "${1:-Decimon}")
    [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable
}

start_display() {
    "$@" >"$work/decimon.log" 2>&1 &
    app_pid=$!
    session_pids+=("$app_pid")
    wait_for 10 has_window || {
        cat "$work/decimon.log" >&2
        fail "no window named Decimon"
    }
    win=$(window_id)
}

expect_exit() {
    local limit=$1 how=$2 status=0
    wait_for "$limit" eval '! kill -0 "$app_pid" 2>/dev/null' || fail "the display did not end within $((limit * scale)) s of $how"
    wait "$app_pid" || status=$?
    app_pid=
    [ "$status" -eq 0 ] || fail "the display ended with status $status after $how"
}

screenshot() { bounded 10 "a screenshot into $1" import -window root "$1"; }

pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info: | cut -c1-6; }
share_of() { convert "$1" -crop "$3x$4+$5+$6" +repage -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:mean]' info:; }

# White outside the panel in three corners and above the panel's middle (nothing above it, such
# as a menu bar; Weston as an X window draws its pointer in the fourth corner), the panel in its
# colour, white digits where the level stands.
check_meter_shot() {
    local shot=$1 point share
    for point in "4 795" "1275 4" "1275 795" "640 3"; do
        # shellcheck disable=SC2086  # the point is two words
        [ "$(pixel "$shot" $point)" = FFFFFF ] || fail "$shot: not white outside the panel at $point: $(pixel "$shot" $point)"
    done
    [ "$(pixel "$shot" 40 400)" = 4CB1FB ] || fail "$shot: the panel is not in the panel colour: $(pixel "$shot" 40 400)"
    share=$(share_of "$shot" white 400 90 462 120)
    awk -v s="$share" 'BEGIN{exit !(s > 0.05)}' || fail "$shot: no white digits where the level stands (white share $share)"
}
