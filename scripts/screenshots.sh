#!/usr/bin/env bash
# Takes the README's pictures: the program on the emulated board (with the
# board file board/examples/alerts.board, whose temperatures cross the
# limits) under a private Xvfb, one run a picture, each window opened as a
# user would through its menu item. Writes docs/images/*.png.
#
#   scripts/screenshots.sh [BUILD_FOLDER]      (default build/release)
#
# Needs xvfb, xdotool and imagemagick (not in the build's package list:
# only this script uses them).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build=${1:-build/release}
qmteval=$build/bin/qmteval
qmtctl=$build/bin/qmtctl
board=$PWD/board/examples/alerts.board
out=docs/images
for tool in Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || {
        echo "screenshots: $tool missing (apt-get install xvfb xdotool imagemagick)" >&2
        exit 2
    }
done
[[ -x $qmteval && -x $qmtctl ]] || { echo "screenshots: build $build first" >&2; exit 2; }
mkdir -p "$out"
work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
    [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

display=""
for n in $(seq 150 199); do
    [[ -e /tmp/.X$n-lock ]] || { display=:$n; break; }
done
[[ -n $display ]] || { echo "screenshots: no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x960x24 >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1

# A log of half a minute for the replay window.
"$qmtctl" --board "$board" log "$work/bench.csv" --interval 100 --duration 30 >/dev/null

# shot NAME SECONDS ACTIONS: starts the program with a main window of
# 1260 x 920 pixels, runs the actions, waits, and saves the main window.
shot() {
    local name=$1 seconds=$2 actions=$3 home=$work/home-$1
    mkdir -p "$home/config"
    # The placement in twips (15 a pixel at 96 dpi).
    printf '[Settings]\nMainLeft=0\nMainTop=0\nMainWidth=18900\nMainHeight=13800\n' \
        >"$home/config/QMT6171_2_3 Evaluation Software.conf"
    DISPLAY=$display HOME=$home XDG_CONFIG_HOME=$home/config TARNLINK_BOARD=$board \
        QMT_TEST_ACTIONS=$actions "$qmteval" --no-splash-pauses >"$home/out.log" 2>&1 &
    program_pid=$!
    sleep "$seconds"
    local window
    window=$(DISPLAY=$display xdotool search --onlyvisible --pid "$program_pid" --name "Evaluation Software" |
        head -1)
    if [[ -z $window ]]; then
        echo "screenshots: no main window for $name:" >&2
        cat "$home/out.log" >&2
        exit 1
    fi
    DISPLAY=$display import -window "$window" "$work/$name.png"
    kill "$program_pid"
    wait "$program_pid" 2>/dev/null || true
    program_pid=""
    # 256 colours keep each picture small; the program's flat colours survive.
    convert "$work/$name.png" -strip -colors 256 "PNG8:$out/$name.png"
    echo "$out/$name.png"
}

shot graph 40 ""
shot limits 12 "mnuLimits"
shot regmap 10 "mnuRegMap"
shot compare 10 "mnuCompare"
shot replay 10 "mnuOpenLog;fileNameEdit=$work/bench.csv"
