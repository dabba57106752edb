#!/usr/bin/env bash
# "Measurement" end to end: `qd718 measure` against `qd718-sim --pace`, its wall time against
# the wire-time floor of the same run: every reply byte that actually arrived at 115200 baud
# 8N1 (86.8 us a byte) plus the protocol's fixed pauses, as counted by qd718 --wire-stats.
#
#   wire_ratio.sh QD718 QD718_SIM [RUNS]
set -euo pipefail

qd718=${1:?path of qd718}
sim=${2:?path of qd718-sim}
runs=${3:-3}

work=$(mktemp -d)
sim_pid=
cleanup() {
  if [[ -n $sim_pid ]]; then kill "$sim_pid" 2>/dev/null || true; wait "$sim_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

# The sim's first line of output is its device path.
mkfifo "$work/sim.out"
XDG_RUNTIME_DIR=$work "$sim" --pace >"$work/sim.out" 2>/dev/null &
sim_pid=$!
exec 3<"$work/sim.out"
read -r -t 10 device <&3 || { echo "qd718-sim printed no device path" >&2; exit 1; }

now_us() { echo $(( $(date +%s%N) / 1000 )); }

printf '%-4s %12s %12s %8s\n' run wall_ms floor_ms ratio
best=
for run in $(seq 1 "$runs"); do
  start=$(now_us)
  XDG_RUNTIME_DIR=$work "$qd718" --port "$device" --wire-stats measure >/dev/null 2>"$work/err" || {
    echo "qd718 measure failed:" >&2; cat "$work/err" >&2; exit 1; }
  end=$(now_us)
  wall=$(( end - start ))
  floor=$(sed -n 's/.*floor_us=\([0-9]*\).*/\1/p' "$work/err")
  [[ -n $floor ]] || { echo "no wire-stats from qd718" >&2; exit 1; }
  ratio=$(awk -v w="$wall" -v f="$floor" 'BEGIN { printf "%.4f", w / f }')
  printf '%-4s %12.1f %12.1f %8s\n' "$run" "$(awk -v u="$wall" 'BEGIN{print u/1000}')" \
    "$(awk -v u="$floor" 'BEGIN{print u/1000}')" "$ratio"
  if [[ -z $best ]] || awk -v r="$ratio" -v b="$best" 'BEGIN { exit !(r < b) }'; then best=$ratio; fi
done
echo "best ratio of wall time to wire-time floor: $best (goal under 1.05)"
