#!/usr/bin/env bash
# Runs every benchmark of bench/ once, on this machine, in one go, and prints
# each figure against its bound as a Markdown table (the README's performance
# section). A ratio below 1 is within the bound.
#
#   scripts/benchmarks.sh                  # builds the release preset first
#   scripts/benchmarks.sh --quick          # 1 simulated hour of soak, short CPU samples
#   scripts/benchmarks.sh --soak-hours 6   # a shorter soak; its figures are per hour
#   scripts/benchmarks.sh --no-build       # use build/release as it is
#   scripts/benchmarks.sh --reference DIR  # idle CPU side by side with DIR/bench_idle_cpu
#
# Idle CPU on a virtual machine moves by a third from run to run; two builds
# run at the same time meet the same state of the machine, so --reference
# also prints this build's idle CPU as a ratio of another build's (an older
# checkout's build/release/bin, say).
set -euo pipefail

cd "$(dirname "$0")/.."
soak_hours=24
cpu_seconds=60
duty_seconds=30
build=1
reference=""
while [[ $# -gt 0 ]]; do
  case "$1" in
    --quick) soak_hours=1; cpu_seconds=10; duty_seconds=5 ;;
    --soak-hours) soak_hours="$2"; shift ;;
    --no-build) build=0 ;;
    --reference) reference="$2"; shift ;;
    *) echo "usage: $0 [--quick] [--soak-hours H] [--no-build] [--reference DIR]" >&2; exit 2 ;;
  esac
  shift
done

targets=(bench_register_read bench_log_line bench_gauge_paint bench_strip_chart bench_log_replay
  bench_idle_cpu bench_soak Tarnlink tarnlink_firmware)
# The alert timeline's lanes, where the tree has them.
lanes_source=bench/widgets/status_lanes_bench.cpp
[[ -f $lanes_source ]] && targets+=(bench_status_lanes)
if [[ $build == 1 ]]; then
  cmake --preset release >/dev/null
  # The Python module, where pybind11 is installed and so the tree has it.
  ninja -C build/release -t targets all | grep -q '^qmt_python:' && targets+=(qmt_python)
  cmake --build build/release --target "${targets[@]}" >/dev/null
fi
bin=build/release/bin
export QT_QPA_PLATFORM=offscreen

# Google Benchmark's CSV from the line of column heads on.
csv() { { "$bin/$1" --benchmark_format=csv "${@:2}" 2>/dev/null || true; } | sed -n '/^name,/,$p'; }
# The column of the row with that name.
value() {
  awk -F, -v row="$2" -v col="$3" '
    NR == 1 { for (i = 1; i <= NF; i++) { h = $i; gsub(/"/, "", h); at[h] = i }; next }
    { n = $1; gsub(/"/, "", n); if (n == row) { print $(at[col]); exit } }' <<<"$1"
}
# A number from the first line matching the pattern: the text after `before`.
number_after() { grep -m1 -- "$2" <<<"$1" | sed "s/.*$3 *\([-0-9.]*\).*/\1/" || true; }
row() { # figure, measured, unit, bound, ratio of measured to bound
  local unit=${3:+ $3}
  printf '| %s | %s%s | %s%s | %.2f |\n' "$1" "$2" "$unit" "$4" "$unit" "$5"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { print a / b }'; }

reads=$(csv bench_register_read --benchmark_filter=LocalTemp)
# Its CSV rows, then its own lines on the CPU that logging adds.
log_line=$(csv bench_log_line --benchmark_filter=BuildAndAppend --duty-seconds="$duty_seconds")
gauge=$(csv bench_gauge_paint --benchmark_filter=GaugeRepaint)
# Separately: the CSV writer takes its counter columns from the first row.
chart=$(csv bench_strip_chart --benchmark_filter='Repaint|Append/10000000')
day=$(csv bench_strip_chart --benchmark_filter=DayOfHistory)
replay=$(csv bench_log_replay --benchmark_filter=LoadDay)
lanes=""
[[ -f $lanes_source ]] && lanes=$(csv bench_status_lanes --benchmark_filter='Repaint/whole:1')
open_all=()
for window in mnuRegMap mnuLimits mnuGeneralConfig mnuSoftware mnuSave mnuCompare mnuLog; do
  open_all+=(--open "$window")
done
# This build's bench_idle_cpu; with a reference, the reference's at the same
# time into the file named last.
idle_cpu() {
  local out=$1
  shift
  if [[ -n $reference ]]; then
    "$reference/bench_idle_cpu" --seconds "$cpu_seconds" "$@" >"$out" 2>&1 || true &
  fi
  "$bin/bench_idle_cpu" --seconds "$cpu_seconds" "$@" || true
  wait
}
reference_idle=$(mktemp)
reference_busy=$(mktemp)
trap 'rm -f "$reference_idle" "$reference_busy"' EXIT
idle=$(idle_cpu "$reference_idle")
busy=$(idle_cpu "$reference_busy" "${open_all[@]}")
soak=$("$bin/bench_soak" --hours "$soak_hours" || true)
python=""
if compgen -G "build/release/python/qmt*.so" >/dev/null; then
  python=$(PYTHONPATH=build/release/python /usr/bin/python3 bench/python/qmt_bench.py || true)
fi

read_rate=$(value "$reads" "ReadRegister/LocalTemp" items_per_second)
line_ns=$(value "$log_line" "BM_BuildAndAppendLogLine" cpu_time)
logging_adds=$(number_after "$log_line" "logging adds" "logging adds")
gauge_us=$(value "$gauge" "GaugeRepaint" cpu_time)
minute_ms=$(value "$chart" "BM_Repaint/feeds:1200/whole:0" cpu_time)
day_last_ms=$(value "$chart" "BM_Repaint/feeds:1728000/whole:0" cpu_time)
day_all_ms=$(value "$chart" "BM_Repaint/feeds:1728000/whole:1" cpu_time)
append_ms=$(value "$chart" "BM_Append/10000000" cpu_time)
day_mb=$(value "$day" "BM_DayOfHistory/iterations:1" resident_MB)
load_ms=$(value "$replay" "BM_LoadDay/real_time" real_time)
idle_pct=$(number_after "$idle" "CPU (process)" "s =")
busy_pct=$(number_after "$busy" "CPU (process)" "s =")
idle_wakes=$(number_after "$idle" "wake-ups" "wake-ups:")
busy_wakes=$(number_after "$busy" "wake-ups" "wake-ups:")
soak_tick_ms=$(number_after "$soak" "CPU per simulated hour" "s =")
soak_cpu_h=$(number_after "$soak" "CPU per simulated hour" "hour:")
soak_peak=$(number_after "$soak" "peak resident" "resident:")
soak_growth=$(number_after "$soak" "resident growth" "growth:")
soak_history=$(number_after "$soak" "resident growth" "history")
soak_other=$(number_after "$soak" "besides the history" "history:")

echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on $(nproc) cores of $(grep -m1 'model name' /proc/cpuinfo | sed 's/.*: //'); soak: $soak_hours simulated hours."
echo
echo '| Figure | Measured | Bound | Ratio |'
echo '|---|---|---|---|'
row "register reads through the library (reads a second; ratio bound / measured)" \
  "$(printf '%.0f' "$read_rate")" "" 1000000 "$(ratio 1000000 "$read_rate")"
row "tick with every window open and a log at 10 ms (soak, CPU a tick)" \
  "$soak_tick_ms" ms 0.5 "$(ratio "$soak_tick_ms" 0.5)"
row "strip-chart repaint, one minute of history" "$(printf '%.2f' "$minute_ms")" ms 4 \
  "$(ratio "$minute_ms" 4)"
row "strip-chart repaint, 24 hours, last minute in view" "$(printf '%.2f' "$day_last_ms")" ms 4 \
  "$(ratio "$day_last_ms" 4)"
row "strip-chart repaint, 24 hours, all in view" "$(printf '%.2f' "$day_all_ms")" ms 4 \
  "$(ratio "$day_all_ms" 4)"
row "strip-chart repaint, 24 hours (all) over one minute" \
  "$(printf '%.2f' "$(ratio "$day_all_ms" "$minute_ms")")" "×" 1.5 \
  "$(ratio "$(ratio "$day_all_ms" "$minute_ms")" 1.5)"
row "strip-chart append at 10⁷ samples (a sample)" \
  "$(awk -v t="$append_ms" 'BEGIN { printf "%.0f", t * 1e6 / 1e7 }')" ns 1000 \
  "$(awk -v t="$append_ms" 'BEGIN { print t * 1e6 / 1e7 / 1000 }')"
if [[ -n $lanes ]]; then
  plain_ms=$(value "$lanes" "BM_Repaint/whole:1/lanes:0" cpu_time)
  laned_ms=$(value "$lanes" "BM_Repaint/whole:1/lanes:1" cpu_time)
  added=$(awk -v a="$laned_ms" -v b="$plain_ms" 'BEGIN { printf "%.1f", 100 * (a / b - 1) }')
  row "status lanes and limit lines added to a day's repaint (all in view)" "$added" % 20 \
    "$(ratio "$added" 20)"
fi
row "log line built and appended" "$(awk -v n="$line_ns" 'BEGIN { printf "%.2f", n / 1000 }')" \
  µs 5 "$(awk -v n="$line_ns" 'BEGIN { print n / 1000 / 5 }')"
row "logging every 10 ms adds (one core)" "$logging_adds" % 1 "$(ratio "$logging_adds" 1)"
row "memory for 24 hours of history (three traces, resident)" "$(printf '%.1f' "$day_mb")" MB 100 \
  "$(ratio "$day_mb" 100)"
row "gauge repaint" "$(printf '%.1f' "$gauge_us")" µs 1000 "$(ratio "$gauge_us" 1000)"
row "replaying a 24-hour log (read and charted)" "$(printf '%.0f' "$load_ms")" ms 1000 \
  "$(ratio "$load_ms" 1000)"
if [[ -n $python ]]; then
  python_reads=$(number_after "$python" "reads a second" "Python:")
  python_log_ms=$(number_after "$python" "read_log of" "lines:")
  row "chip.read through the Python module (reads a second; ratio bound / measured)" \
    "$python_reads" "" 300000 "$(ratio 300000 "$python_reads")"
  row "qmt.read_log of a 24-hour log (864,000 lines)" "$python_log_ms" ms 500 \
    "$(ratio "$python_log_ms" 500)"
fi
row "CPU of the idle program (one core)" "$idle_pct" % 0.4 "$(ratio "$idle_pct" 0.4)"
row "wake-ups of the idle program's main thread (a second)" "$idle_wakes" "" 30 \
  "$(ratio "$idle_wakes" 30)"
row "CPU with every window open (one core)" "$busy_pct" % 0.8 "$(ratio "$busy_pct" 0.8)"
row "soak: CPU per simulated hour" "$soak_cpu_h" s 180 "$(ratio "$soak_cpu_h" 180)"
row "soak: peak resident" "$soak_peak" MB 250 "$(ratio "$soak_peak" 250)"
row "soak: heap growth besides the graph history" "$soak_other" KiB/h 16 "$(ratio "$soak_other" 16)"
echo
echo "Soak: resident growth $soak_growth MB/h, of which the graph history $soak_history MB/h."
echo "Every window open, the main thread woke $busy_wakes times a second."
if [[ -n $reference ]]; then
  ref_idle_pct=$(number_after "$(cat "$reference_idle")" "CPU (process)" "s =")
  ref_busy_pct=$(number_after "$(cat "$reference_busy")" "CPU (process)" "s =")
  if [[ -z $ref_idle_pct || -z $ref_busy_pct ]]; then
    echo "The reference's bench_idle_cpu gave no figure:" >&2
    cat "$reference_idle" "$reference_busy" >&2
  else
    printf 'Side by side with %s: idle %s %% against %s %% (ratio %.2f), every window open %s %% against %s %% (ratio %.2f).\n' \
      "$reference" "$idle_pct" "$ref_idle_pct" "$(ratio "$idle_pct" "$ref_idle_pct")" \
      "$busy_pct" "$ref_busy_pct" "$(ratio "$busy_pct" "$ref_busy_pct")"
  fi
fi
