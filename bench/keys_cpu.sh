#!/usr/bin/env bash
# Processor time a desktop program spends on each key typed into it, for
# comparing editors on the same file:
#   bench/keys_cpu.sh 'line1.htm' 40 build/bin/velquist line1.htm
#   bench/keys_cpu.sh 'line1.htm' 40 kate -n line1.htm
# Starts the program on the current X display, waits until its window shows
# and it has used no processor time for a second, presses ctrl+End, then
# types KEYS characters one at a time, 150 ms apart, reading the processor
# time of all the program's threads around each one (/proc/PID/task/*/sched).
# Prints the median and the slowest key (and the slowest on the program's
# main thread, where a pause holds up typing), the processor time of a quiet
# second before the typing, and the time the program took to fall idle.
# The program is killed at the end (its changes are not saved).
# Set KEYS_HOME to run the program with that HOME (its settings there),
# KEYS_WAIT to wait longer than 60 s for its window, KEYS_EACH=1 to print
# each key's time as well.
set -euo pipefail
pattern=$1
keys=$2
shift 2
[ -n "${KEYS_HOME:-}" ] && export HOME=$KEYS_HOME XDG_CONFIG_HOME=$KEYS_HOME/.config XDG_DATA_HOME=$KEYS_HOME/.local/share
start=$(date +%s%N)
"$@" >/dev/null 2>&1 &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true' EXIT
# Processor time of all its threads so far, in ns (the scheduler's own count).
ns() { cat /proc/$pid/task/*/sched 2>/dev/null | awk '/^se.sum_exec_runtime/ {s += $3} END {printf "%.0f\n", s * 1000000}'; }
# The same for its main thread alone (where a pause would hold up typing).
ns_main() { awk '/^se.sum_exec_runtime/ {printf "%.0f\n", $3 * 1000000}' /proc/$pid/task/$pid/sched 2>/dev/null; }
win=""
deadline=$((start + ${KEYS_WAIT:-60} * 1000000000))
while [ "$(date +%s%N)" -lt "$deadline" ]; do
  win=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -1) && [ -n "$win" ] && break
  sleep 0.01
done
[ -n "$win" ] || { echo "no window named $pattern within ${KEYS_WAIT:-60} s" >&2; exit 2; }
shown=$(( ($(date +%s%N) - start) / 1000000 ))
# Idle: no processor time used for a second.
last=$(ns); changed=$(date +%s%N)
while :; do
  sleep 0.05
  t=$(ns); now=$(date +%s%N)
  if [ $((t - last)) -gt 2000000 ]; then last=$t; changed=$now
  elif [ $((now - changed)) -ge 1000000000 ]; then break; fi
  [ $((now - start)) -gt 120000000000 ] && { echo "never fell idle" >&2; break; }
done
idle_after=$(( (changed - start) / 1000000 ))
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 0.3
xdotool key ctrl+End
sleep 1
a=$(ns); sleep 1; b=$(ns)
quiet=$(( (b - a) / 1000 ))
text="abcdefghijklmnopqrstuvwxyz"
per=()
main=()
for i in $(seq 0 $((keys - 1))); do
  c=${text:$((i % 26)):1}
  a=$(ns); am=$(ns_main)
  xdotool key "$c"
  sleep 0.15
  b=$(ns); bm=$(ns_main)
  per+=($(( (b - a) / 1000 )))
  main+=($(( (bm - am) / 1000 )))
done
slowest_main=$(printf '%s\n' "${main[@]}" | sort -n | tail -1)
[ "${KEYS_EACH:-0}" = 1 ] && echo "each key (us): ${per[*]}" && echo "main thread (us): ${main[*]}"
sorted=$(printf '%s\n' "${per[@]}" | sort -n)
median=$(echo "$sorted" | awk -v n="${#per[@]}" 'NR == int((n + 1) / 2) {print}')
slowest=$(echo "$sorted" | tail -1)
peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
printf 'window shown %d ms, idle %d ms; quiet second %.1f ms; key median %.2f ms, slowest %.2f ms (main thread %.2f ms) (%d keys); peak memory %d MB\n' \
  "$shown" "$idle_after" "$(echo "$quiet / 1000" | bc -l)" "$(echo "$median / 1000" | bc -l)" "$(echo "$slowest / 1000" | bc -l)" \
  "$(echo "$slowest_main / 1000" | bc -l)" "$keys" $((peak / 1024))
