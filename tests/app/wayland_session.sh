# Sourced after x_session.sh by the Wayland tests: a compositor, the display under it with its
# protocol log, and what that log says. Everything started through it ends at exit.
#   start_weston BACKEND        Weston (desktop shell, pixman renderer) with one 1280x800 output,
#                               on a socket of its own in the private runtime folder; as x11
#                               backend it is a window in the X server; WAYLAND_DISPLAY set
#   weston_shot NAME            a screenshot of Weston's output, kept as $artifacts/NAME.png
#   start_wayland_display COMMAND...  the display as COMMAND runs it, up and full screen ($app_pid)
#   start_cage DECIMON [OPTION]...  cage (x11 backend: a window in the X server) running the
#                               display, up and full screen, in the private folders; as root
#                               cage runs as the unprivileged $test_user ($app_pid: the display,
#                               $cage_pid: cage, which ends when the display has ended)
#   cage_display_status         the status the display under cage ended with
#   compositor_window           the X server's one top-level window: the compositor's (fails
#                               while there is none)
#   shell_events                the main window's history on the protocol, a line per change:
#                               full, normal (the window asked for them), inhibit, release (the
#                               idle inhibitor on its surface made and destroyed)
#   events_are EVENT...         whether shell_events says just these
#   cpu_ticks PID               the user and system time PID used so far, in clock ticks

test_user=decimon-test

start_weston() {
    local socket=weston-${#session_pids[@]}
    private_dirs
    weston --backend="$1" --use-pixman --socket="$socket" --debug --no-config --width=1280 --height=800 \
        >"$work/$socket.log" 2>&1 &
    session_pids+=($!)
    export WAYLAND_DISPLAY=$socket
    wait_for 10 test -S "$XDG_RUNTIME_DIR/$socket" || fail "Weston did not start: $(cat "$work/$socket.log")"
}

# --debug lets every client take screenshots; the tool writes into the current folder.
weston_shot() {
    mkdir -p "$work/shot"
    (cd "$work/shot" && bounded 10 "weston-screenshooter" weston-screenshooter) || fail "weston-screenshooter failed"
    mv "$work"/shot/wayland-screenshot-*.png "$artifacts/$1.png"
}

# WAYLAND_DEBUG=client: Qt's Wayland client writes every request and event on standard error
# (-s: the log may not be there yet).
asks_full_screen() { grep -qsE -- '-> xdg_toplevel@[0-9]+\.set_fullscreen\(' "$work/decimon.log"; }
await_full_screen() {
    wait_for 10 asks_full_screen || fail "the display did not ask for full screen: $(tail -n 20 "$work/decimon.log")"
}

start_wayland_display() {
    QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$@" >"$work/decimon.log" 2>&1 &
    app_pid=$!
    session_pids+=("$app_pid")
    await_full_screen
}

# cage will not run as root: as root it runs as the test user (made if missing, no login), who
# gets the private folders, and a copy of the display (with its module) if the build's is out of
# the user's reach.
start_cage() {
    local as=() program=$1
    shift
    mkdir -p -m 700 "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
    if [ "$(id -u)" -eq 0 ]; then
        id -u "$test_user" >/dev/null 2>&1 ||
            useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$test_user"
        chmod 711 "$work"
        chown -R "$test_user:" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
        as=(setpriv --reuid="$test_user" --regid="$test_user" --init-groups)
        if ! "${as[@]}" test -x "$program"; then
            install -D -m 755 "$program" "$work/bin/$(basename "$program")"
            # The Wayland module goes along, at its place relative to the program.
            mkdir -p "$work/lib" && cp -r "$(dirname "$program")/../lib/decimon" "$work/lib/"
            program=$work/bin/$(basename "$program")
        fi
    fi
    # setpriv becomes cage: $! is cage's process. cage ends with status 0 whatever its program's
    # status: a shell under it keeps the display's process and status in the runtime folder.
    "${as[@]}" env WLR_BACKENDS=x11 WLR_RENDERER=pixman cage -- sh -c \
        'QT_QPA_PLATFORM=wayland WAYLAND_DEBUG=client "$@" & echo "$!" >"$XDG_RUNTIME_DIR/display"
         wait "$!"; echo "status $?" >>"$XDG_RUNTIME_DIR/display"' sh "$program" "$@" >"$work/decimon.log" 2>&1 &
    cage_pid=$!
    session_pids+=("$cage_pid")
    await_full_screen
    app_pid=$(head -n 1 "$XDG_RUNTIME_DIR/display")
    session_pids+=("$app_pid")
}
cage_display_status() { sed -n 's/^status //p' "$XDG_RUNTIME_DIR/display"; }

compositor_window() { xwininfo -root -children | awk '/^ +0x/ {print $1; found = 1; exit} END {exit !found}'; }

# The display's requests in its log; Qt may ask for the state it is in again, which says nothing.
shell_events() {
    sed -nE 's/.* -> ([a-z0-9_]+)@([0-9]+)\.([a-z_]+)\((.*)\)$/\1 \2 \3 \4/p' "$work/decimon.log" |
        sed -E 's/new id //; s/[a-z0-9_]+@//g; s/,//g' |
        awk 'function state(name) { if (name != last) print name; last = name }
             $3 == "get_xdg_surface" { surface[$4] = $5 }
             $3 == "get_toplevel" { surface[$4] = surface[$2] }
             $3 == "set_fullscreen" { main = surface[$2]; state("full") }
             $3 == "unset_fullscreen" { state("normal") }
             $3 == "create_inhibitor" { print ($5 == main ? "inhibit" : "inhibit another surface") }
             $1 == "zwp_idle_inhibitor_v1" && $3 == "destroy" { print "release" }'
}

events_are() { [ "$(shell_events)" = "$(printf '%s\n' "$@")" ]; }

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
