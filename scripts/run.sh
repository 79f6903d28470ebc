#!/usr/bin/env bash
# Runs the program against the simulated processor: installs what is missing,
# builds the program and the simulator, starts the simulator on a free port
# and the program beside it, and stops both together (closing the window,
# Ctrl+C or SIGTERM).  A processor plugged in over USB is still found first.
# It configures only a build folder that has none and builds only when a
# source changed since its last successful build.  On a virtual display
# without a window manager it starts one (jwm) for the dialogs' captions.
#   KT_BUILD_DIR  build folder (default: build)
#   KT_NO_BUILD=1 use what is built there as it is
set -uo pipefail

# From the start: a stop asked for at any moment ends the run cleanly.
got_signal=0
app_pid=""
forwarded=0
forward() {
    got_signal=1
    [[ -n "$app_pid" ]] && tell_program
}
trap forward INT TERM

# Hands the stop to the program once, when it can take it: a program still
# being loaded would end the default way, so wait (bounded) until it catches
# SIGTERM, as it does first thing.
tell_program() {
    ((forwarded)) && return
    forwarded=1
    local status mask
    for _ in $(seq 500); do
        status=/proc/$app_pid/status
        [[ -r "$status" ]] || break
        mask=$(sed -n 's/^SigCgt:[[:space:]]*//p' "$status")
        [[ -n "$mask" ]] && (((16#$mask >> 14) & 1)) && break
        sleep 0.02
    done
    kill -TERM "$app_pid" 2>/dev/null
}

cd "$(dirname "$0")/.."

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "run.sh: no display: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
    echo "Run it in a desktop session, or under a virtual display: xvfb-run -a bash scripts/run.sh" >&2
    exit 1
fi

# A virtual display (Xvfb) has no window manager of its own, and without one
# the dialogs have no caption to close them by: a small one is started there.
xvfb_display=0
display_number=${DISPLAY#*:}
display_number=${display_number%%.*}
if [[ -n "${DISPLAY:-}" && -n "$display_number" ]] &&
    ps -eo args= 2>/dev/null | grep -Eq "^(/[^ ]*/)?Xvfb :$display_number( |$)"; then
    xvfb_display=1
fi

build=${KT_BUILD_DIR:-build}
if [[ "${KT_NO_BUILD:-}" != 1 ]]; then
    extra=()
    ((xvfb_display)) && extra=(jwm x11-utils)
    bash scripts/setup.sh "${extra[@]}" || exit 1
    if [[ ! -f "$build/CMakeCache.txt" ]]; then
        cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 1
    fi
    # Only when a source changed since the last build that succeeded: even a
    # build with nothing to do takes seconds.  The program and the simulator
    # cannot tell it by their times, since a build relinks only what an edit
    # reaches; a stamp can.  It is taken before the build, so an edit made
    # meanwhile still counts, and kept only once the build succeeded.
    program="$build/app/kavro-tune"
    simulator="$build/sim/kt_simulator"
    stamp="$build/run-sh.stamp"
    if [[ ! -x "$program" || ! -x "$simulator" || ! -f "$stamp" ]] ||
        [[ -n "$(find app controls link model pages platform res sim cmake CMakeLists.txt -type f \
            -newer "$stamp" -print -quit 2>/dev/null)" ]]; then
        touch "$stamp.new" 2>/dev/null
        if ! cmake --build "$build" -j "$(nproc)" --target kt_simulator kavro-tune; then
            rm -f "$stamp.new"
            exit 1
        fi
        mv -f "$stamp.new" "$stamp" 2>/dev/null
    fi
fi

wm_pid=""
if ((xvfb_display)) && command -v jwm >/dev/null && command -v xprop >/dev/null &&
    ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
    jwm >/dev/null 2>&1 &
    wm_pid=$!
fi
((got_signal)) && exit 0

sim_out=$(mktemp)
"$build/sim/kt_simulator" --port 0 >"$sim_out" &
sim_pid=$!

stop_simulator() {
    kill -TERM "$sim_pid" 2>/dev/null
    wait "$sim_pid" 2>/dev/null
    rm -f "$sim_out"
    if [[ -n "$wm_pid" ]]; then
        kill -TERM "$wm_pid" 2>/dev/null
        wait "$wm_pid" 2>/dev/null
    fi
}

port=""
for _ in $(seq 100); do
    port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$sim_out")
    [[ -n "$port" ]] && break
    if ((got_signal)) || ! kill -0 "$sim_pid" 2>/dev/null; then
        break
    fi
    sleep 0.05
done
if ((got_signal)); then
    stop_simulator
    exit 0
fi
if [[ -z "$port" ]]; then
    echo "run.sh: the simulated processor did not start" >&2
    stop_simulator
    exit 1
fi
echo "run.sh: simulated processor on 127.0.0.1:$port"

# The program connects only to an address that answers a ping.
if ! ping -c 1 -W 3 127.0.0.1 >/dev/null 2>&1; then
    echo "run.sh: ping 127.0.0.1 fails here (the ping tool needs cap_net_raw, which some containers" \
        "drop), so the program cannot find the simulated processor; it stays offline unless a processor" \
        "is plugged in over USB" >&2
fi

if ((got_signal)); then
    stop_simulator
    exit 0
fi
KT_DEVICE_IP=127.0.0.1 KT_DEVICE_PORT=$port "$build/app/kavro-tune" &
app_pid=$!
# A stop that came while the program was being started found no process to
# hand it to.
((got_signal)) && tell_program
wait "$app_pid"
status=$?
# A signal interrupts the wait; the program then closes as its close button
# does, and the next wait gives its own exit status.
while ((status > 128)) && kill -0 "$app_pid" 2>/dev/null; do
    wait "$app_pid"
    status=$?
done
stop_simulator
exit "$status"
