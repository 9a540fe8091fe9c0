#!/usr/bin/env bash
# Starts a desktop program on the current X display and waits until its window
# is shown and the process has used no processor time for half a second; then
# prints the time from the start to its last use of the processor and its peak
# memory, and ends it. For comparing start-up with other editors:
#   bench/start_to_idle.sh 'Velquist Pro' build/bin/velquist empty.htm
#   bench/start_to_idle.sh 'empty.htm' kate -n empty.htm
set -euo pipefail
pattern=$1
shift
start=$(date +%s%N)
"$@" >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
for _ in $(seq 1 1000); do
  xdotool search --onlyvisible --name "$pattern" >/dev/null 2>&1 && break
  sleep 0.01
done
last=$(ticks)
changed=$(date +%s%N)
while :; do
  sleep 0.02
  now=$(date +%s%N)
  t=$(ticks)
  if [ "$t" != "$last" ]; then
    last=$t
    changed=$now
  elif [ $((now - changed)) -ge 500000000 ]; then
    break
  fi
done
peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
printf 'start to idle %d ms, peak memory %d MB\n' $(((changed - start) / 1000000)) $((peak / 1024))
