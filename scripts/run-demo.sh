#!/usr/bin/env bash
# Installs what is missing, builds, and runs the client against a working
# demo: the recorder/agent simulator on 127.0.0.1 and a private MariaDB
# server with a demo archive. Everything lives under demo/ in the checkout;
# a real configuration is never touched (VORLAN_SETTINGS points at the demo
# store). Without a graphical display the client is served over VNC on
# 127.0.0.1:5900.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/build.sh" -DVORLAN_BUILD_TESTS=OFF

demo="$root/demo"
mkdir -p "$demo"
config="$demo/config.ini"

pids=()
ownPulse=0
cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    if ((ownPulse)); then pulseaudio --kill 2>/dev/null || true; fi
    if [[ -x "$root/scripts/demo-db.sh" ]]; then "$root/scripts/demo-db.sh" stop "$demo" || true; fi
}
trap cleanup EXIT

recordings="$demo/recordings"
if [[ -x "$root/scripts/demo-db.sh" ]]; then
    recordings="$("$root/scripts/demo-db.sh" start "$demo" | tail -n 1)"
fi

if [[ ! -f "$config" ]]; then
    # The demo store: every value start-up converts, servers on 127.0.0.1,
    # and one agent endpoint per channel (the simulator's agents).
    {
        sed "s|^PathGravacoes=.*|PathGravacoes=$recordings|" "$root/scripts/demo-config.ini"
        for n in $(seq 1 40); do
            echo "IPChatC$n=127.0.0.1"
            echo "PortaChatC$n=$((9800 + n))"
        done
    } > "$config"
    chmod 600 "$config"
fi

# The live audio is written to audio/temp.wav beside the program.
mkdir -p "$root/build/app/audio"

# The live audio plays through PulseAudio: start one for this user when none
# runs (its default setup falls back to a null sink on a machine without a
# sound card), and stop it again at the end.
if command -v pulseaudio >/dev/null && command -v pactl >/dev/null && ! pactl info >/dev/null 2>&1; then
    if [[ -z "${XDG_RUNTIME_DIR:-}" || ! -w "${XDG_RUNTIME_DIR:-/nonexistent}" ]]; then
        # Short: the server's socket path must fit in 108 bytes.
        XDG_RUNTIME_DIR="$(mktemp -d "${TMPDIR:-/tmp}/vorlan-demo-XXXXXX")"
        export XDG_RUNTIME_DIR
    fi
    if pulseaudio --start --exit-idle-time=-1 2>/dev/null && pactl info >/dev/null 2>&1; then
        ownPulse=1
        echo "Sound: started PulseAudio ($(pactl get-default-sink 2>/dev/null || echo '?'))."
    else
        echo "Sound: PulseAudio did not start; the live audio will not be heard."
    fi
fi

"$root/build/tools/sim/vorlan-sim" --churn 3000 --chat-every 30 < /dev/null &
pids+=($!)

platform=()
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found: the client is served over VNC at 127.0.0.1:5900."
    platform=(-platform vnc:addr=127.0.0.1:port=5900)
fi
VORLAN_SETTINGS="$config" "$root/build/app/vorlan-client" "${platform[@]}"
