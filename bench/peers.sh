#!/usr/bin/env bash
# Kalvo side by side with the other SIP telephones installed here, in one run, under one
# private X display and against one instance of the local stand-in service: launch to
# first window, sign-in to registered, call to connected (echo), memory of the whole
# process tree signed in and idle, and its CPU over an echo call and while idle. Beside them
# the web engine's floor: one window with one web view, set up as Kalvo's are.
# Prints one markdown table of medians with the ratios Kalvo / baresip and Kalvo / web view.
#
#   bash bench/peers.sh [BUILD_DIR]      (default $KALVO_BUILD, else build/ of this checkout)
#
# Environment: ROUNDS (default 7), KALVO_BENCH_ADDRESS (the service's address, default
# 127.0.0.230), SETTLE_SECONDS (10), IDLE_SECONDS (20), CALL_SECONDS (20),
# KALVO_BENCH_KEEP=1 keeps the work folder (logs of every round).
#
# Each round starts every program afresh with a private home (no stored account, "remember
# me" off). The service runs on fixed loopback ports, so the run holds the lock the tests
# take for theirs.
set -euo pipefail

lock=/tmp/kalvo-service-tests.lock
if [ "${KALVO_BENCH_LOCKED:-}" != 1 ]; then
  flock -n "$lock" true || echo "peers.sh: waiting for $lock (tests with the local service are running)" >&2
  # -o: the servers started below must not hold the lock after the run.
  KALVO_BENCH_LOCKED=1 exec flock -o "$lock" bash "$0" "$@"
fi

here=$(cd "$(dirname "$0")/.." && pwd)
ROUNDS=${ROUNDS:-7}
SETTLE_SECONDS=${SETTLE_SECONDS:-10}
IDLE_SECONDS=${IDLE_SECONDS:-20}
CALL_SECONDS=${CALL_SECONDS:-20}
address=${KALVO_BENCH_ADDRESS:-127.0.0.230}
login_link="kalvo://login/?u=alice&p=wonderland&s=false&a=false"
call_link="kalvo://call/?echotest"
# baresip signs in as the same account; its SIP password is the service's derivation of
# "wonderland" (see service/README.md).
baresip_account="<sip:alice@kalvo.test>;auth_pass=wonderland_ndwo;outbound=\"sip:$address:5060;lr\";regint=600"
baresip_ctrl_port=4444

die() { echo "peers.sh: $*" >&2; exit 1; }
note() { echo "peers.sh: $*" >&2; }

[[ $ROUNDS =~ ^[1-9][0-9]*$ ]] || die "ROUNDS must be a positive number (got '$ROUNDS')"
build=${1:-${KALVO_BUILD:-$here/build}}
[ -d "$build" ] || die "no build folder $build (build first: bash scripts/build.sh)"
build=$(cd "$build" && pwd)
kalvo=$build/kalvo
[ -x "$kalvo" ] || die "no program at $kalvo (build first: bash scripts/build.sh)"
[ -x "$build/service/kalvo-service-http" ] || die "the service is not built in $build (bash scripts/build.sh)"
for tool in Xvfb xev xdotool sox awk ps; do
  command -v "$tool" >/dev/null || die "$tool is missing (bash scripts/install-deps.sh installs it)"
done
have_baresip=$(command -v baresip || true)
floor=$build/bench/web-view-floor
cmake --build "$build" --target web-view-floor >/dev/null || die "could not build $floor"
hz=$(getconf CLK_TCK)

# ---- clean-up: everything this run starts is stopped by its id ----------------------

work=$(mktemp -d /tmp/kalvo-bench-XXXXXX)
xvfb_pid=""
service_started=""
started_groups=() # process groups (setsid) of the programs measured

# A process counts as ended once it is a zombie (this shell reaps its children late).
pid_running() {
  local state
  state=$(awk '/^State:/ { print $2 }' "/proc/$1/status" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}
group_alive() {
  local p
  for p in $(pgrep -g "$1" 2>/dev/null); do pid_running "$p" && return 0; done
  return 1
}

# Ends a process group: TERM, then KILL after five seconds.
stop_group() {
  local group=$1 i
  group_alive "$group" || return 0
  kill -TERM -- "-$group" 2>/dev/null || true
  for ((i = 0; i < 50; i++)); do
    group_alive "$group" || return 0
    sleep 0.1
  done
  note "process group $group did not end on TERM; killing it"
  kill -KILL -- "-$group" 2>/dev/null || true
}

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  local pid
  for pid in "${nap_pid:-}" "${MAP_WATCH_PID:-}"; do
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  done
  local group
  for group in "${started_groups[@]}"; do stop_group "$group"; done
  if [ -n "$service_started" ]; then
    KALVO_BUILD_DIR=$build "$here/service/servicectl" stop "$work/service" >/dev/null 2>&1 \
      || note "could not stop the service in $work/service"
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  if [ "$status" -ne 0 ] || [ "${KALVO_BENCH_KEEP:-}" = 1 ]; then
    note "logs of this run are in $work"
  else
    rm -rf "$work"
  fi
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A pause the signal traps can interrupt.
nap_pid=""
nap() {
  sleep "$1" &
  nap_pid=$!
  wait "$nap_pid"
  nap_pid=""
}

# ---- clocks, logs and windows -------------------------------------------------------

now_us() { echo "${EPOCHREALTIME/./}"; }
ms_between() { echo $((($2 - $1 + 500) / 1000)); } # from_us to_us

# The time of a kalvo.log line ("2026-12-08 16:52:42.0099 TEXT", local time, ms) in µs.
log_time_us() {
  local log=$1 text=$2 line
  line=$(grep -m1 -F -- "$text" "$log") || return 1
  local seconds
  seconds=$(date -d "${line:0:19}" +%s) || return 1
  echo $((seconds * 1000000 + 10#${line:20:4} * 1000))
}

# Waits until the log holds the text; false after the time-out (seconds).
wait_for_log() {
  local log=$1 text=$2 timeout=$3 end
  end=$(($(now_us) + timeout * 1000000))
  until [ -f "$log" ] && grep -q -F -- "$text" "$log"; do
    [ "$(now_us)" -lt "$end" ] || return 1
    sleep 0.02
  done
}

# Waits for a child of this shell to end; sets EXIT_STATUS to its exit status. False after
# the time-out. Not to be called in a command substitution: a subshell cannot wait for it.
wait_for_exit() { # pid timeout_s
  local end
  EXIT_STATUS=0
  end=$(($(now_us) + $2 * 1000000))
  while pid_running "$1" && [ "$(now_us)" -lt "$end" ]; do sleep 0.05; done
  if pid_running "$1"; then
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
    return 1
  fi
  wait "$1" || EXIT_STATUS=$?
}

shown_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }

wait_for_window() { # title timeout_s -> prints the window id
  local end id
  end=$(($(now_us) + $2 * 1000000))
  while [ "$(now_us)" -lt "$end" ]; do
    id=$(shown_window "$1")
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# Presses keys in the window until it is gone (a key may arrive before the box has focus).
answer_window() { # title keys
  local attempt id i
  for ((attempt = 0; attempt < 10; attempt++)); do
    id=$(shown_window "$1")
    [ -z "$id" ] && return 0
    xdotool windowfocus --sync "$id" key --delay 50 "$2" 2>/dev/null || true
    for ((i = 0; i < 20; i++)); do
      [ -z "$(shown_window "$1")" ] && return 0
      sleep 0.05
    done
  done
  return 1
}

# Starts an X event watcher on the root window's children; MAP_WATCH[0] reads its output.
start_map_watch() {
  coproc MAP_WATCH { exec xev -root -event substructure 2>/dev/null; }
  # xev selects the events as soon as it has connected; this covers its start.
  nap 0.3
}

# Reads the watcher until the first window is mapped: prints "TIME_US WINDOW_ID".
wait_for_first_map() { # timeout_s
  local end line left
  end=$(($(now_us) + $1 * 1000000))
  while :; do
    left=$(((end - $(now_us)) / 1000))
    [ "$left" -gt 0 ] || return 1
    IFS= read -r -t "$((left / 1000)).$(printf '%03d' $((left % 1000)))" -u "${MAP_WATCH[0]}" line || return 1
    if [[ $line == MapNotify* ]]; then
      local at
      at=$(now_us)
      IFS= read -r -t 1 -u "${MAP_WATCH[0]}" line || true
      [[ $line =~ window\ (0x[0-9a-f]+) ]] && echo "$at ${BASH_REMATCH[1]}" || echo "$at ?"
      return 0
    fi
  done
}

stop_map_watch() {
  [ -n "${MAP_WATCH_PID:-}" ] || return 0
  local pid=$MAP_WATCH_PID
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# ---- the process tree: memory and CPU ------------------------------------------------

tree_pids() { # root pid: it and every descendant
  ps -e -o pid=,ppid= | awk -v root="$1" '
    { parent[$1] = $2 }
    END { for (p in parent) { q = p; while (q != root && (q in parent) && q > 1) q = parent[q]; if (q == root) print p } }' |
    sort -n
}

mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }

# Memory of the whole tree from smaps_rollup: sets MEM_PSS and MEM_USS (private pages,
# shared with no other process) in MiB, and MEM_PARTS ("name=PSS" per process, MiB).
measure_memory() { # root
  local p name pss uss total_pss=0 total_uss=0 parts=()
  for p in $(tree_pids "$1"); do
    read -r pss uss < <(awk '/^Pss:/ { pss = $2 } /^Private_(Clean|Dirty):/ { uss += $2 }
      END { print pss + 0, uss + 0 }' "/proc/$p/smaps_rollup" 2>/dev/null) || continue
    read -r name <"/proc/$p/comm" 2>/dev/null || continue
    total_pss=$((total_pss + pss)) total_uss=$((total_uss + uss))
    parts+=("${name// /_}=$(mib "$pss")")
  done
  MEM_PSS=$(mib "$total_pss") MEM_USS=$(mib "$total_uss") MEM_PARTS=${parts[*]}
}

ticks_of() { # pid: utime + stime of all its threads, in clock ticks
  local line fields
  read -r line <"/proc/$1/stat" 2>/dev/null || return 1
  read -r -a fields <<<"${line##*) }"
  echo $((fields[11] + fields[12]))
}

percent_of() { # ticks microseconds: % of one core
  awk -v t="$1" -v hz="$hz" -v us="$2" 'BEGIN { printf "%.2f", t / hz / (us / 1e6) * 100 }'
}

# CPU of the whole tree over some seconds, in % of one core: sets CPU_TOTAL and CPU_PARTS
# ("name=%" per process).
measure_cpu() { # root seconds
  local p t0 t1 ticks name total=0 parts=()
  declare -A before=()
  for p in $(tree_pids "$1"); do before[$p]=$(ticks_of "$p" || echo 0); done
  t0=$(now_us)
  nap "$2"
  t1=$(now_us)
  for p in $(tree_pids "$1"); do
    ticks=$(ticks_of "$p") || continue
    read -r name <"/proc/$p/comm" 2>/dev/null || continue
    ticks=$((ticks - ${before[$p]:-0}))
    total=$((total + ticks))
    parts+=("${name// /_}=$(percent_of "$ticks" $((t1 - t0)))")
  done
  CPU_TOTAL=$(percent_of "$total" $((t1 - t0))) CPU_PARTS=${parts[*]}
}

# Signed in and idle: after SETTLE_SECONDS, the tree's memory (MEM_*) and its CPU over
# IDLE_SECONDS (CPU_*). False when the program ended meanwhile.
measure_idle() { # root
  nap "$SETTLE_SECONDS"
  pid_running "$1" || return 1
  measure_memory "$1"
  measure_cpu "$1" "$IDLE_SECONDS"
}

# ---- Kalvo ---------------------------------------------------------------------------

kalvo_fail() { # home text
  local log=$1/.local/share/kalvo/kalvo.log
  note "Kalvo: $2"
  [ -f "$log" ] && { note "last lines of $log:"; tail -15 "$log" >&2; }
  [ -s "$1/kalvo.out" ] && { note "its output ($1/kalvo.out):"; tail -15 "$1/kalvo.out" >&2; }
  exit 1
}

# A new user's folders for one start of Kalvo, exported with the program's settings.
kalvo_user() { # home
  local home=$1
  mkdir -p "$home/.config" "$home/.local/share" "$home/.cache" "$home/run"
  chmod 700 "$home" "$home/run"
  export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
    XDG_CACHE_HOME=$home/.cache XDG_RUNTIME_DIR=$home/run \
    KALVO_DEPLOYMENT=$work/service/deployment.ini KALVO_SIPX_BIND_ADDRESS=$address \
    KALVO_SIPX_PLAY_FILE=$work/voice.wav KALVO_SIPX_RECORD_FILE=$home/speaker.wav
}

# One round of Kalvo; sets K_FIRST_WINDOW K_PAGE K_SIGN_IN K_CALL (ms), K_PSS K_USS (MiB),
# K_CPU_IDLE K_CPU_CALL (%), and K_DETAILS (by process).
kalvo_round() {
  local round=$1
  local t0 mapped pid

  # A plain first start, as a user launches it: launch -> first window mapped (the splash)
  # and launch -> the sign-in page loaded in the main window's web element. Then it quits.
  local first=$work/kalvo-$round-first
  kalvo_user "$first"
  start_map_watch
  t0=$(now_us)
  setsid "$kalvo" </dev/null >"$first/kalvo.out" 2>&1 &
  pid=$!
  started_groups+=("$pid")
  mapped=$(wait_for_first_map 30) || { stop_map_watch; kalvo_fail "$first" "no window was mapped within 30 s of the launch"; }
  stop_map_watch
  K_FIRST_WINDOW=$(ms_between "$t0" "${mapped% *}")
  K_FIRST_WINDOW_NAME=$(xdotool getwindowname "${mapped#* }" 2>/dev/null || echo "?")
  local first_log=$first/.local/share/kalvo/kalvo.log
  wait_for_log "$first_log" "WEB - content page loaded: " 30 || kalvo_fail "$first" "the sign-in page did not load within 30 s of the launch"
  K_PAGE=$(ms_between "$t0" "$(log_time_us "$first_log" "WEB - content page loaded: ")")
  kill -TERM "$pid" 2>/dev/null || true
  wait_for_exit "$pid" 20 || kalvo_fail "$first" "the plain start did not end within 20 s of a termination request"
  [ "$EXIT_STATUS" -eq 0 ] || kalvo_fail "$first" "the plain start ended with $EXIT_STATUS on a termination request"

  # The start with the sign-in link, in a new user's folders too.
  local home=$work/kalvo-$round
  kalvo_user "$home"
  local log=$home/.local/share/kalvo/kalvo.log
  setsid "$kalvo" /url "$login_link" </dev/null >"$home/kalvo.out" 2>&1 &
  pid=$!
  started_groups+=("$pid")

  # Sign-in: the link from outside asks first; the user says Yes, which starts the login
  # (its first log line). From that line to the registered line, both in the program's log.
  wait_for_window Confirmation 60 >/dev/null || kalvo_fail "$home" "the sign-in link's confirmation did not appear within 60 s"
  answer_window Confirmation alt+y || kalvo_fail "$home" "the confirmation did not close on Yes"
  wait_for_log "$log" "LINESTATE - LINESTATE_REGISTERED" 30 || kalvo_fail "$home" "not registered within 30 s of the Yes"
  local allowed registered
  allowed=$(log_time_us "$log" "LOGIN - Username is alice") || kalvo_fail "$home" "no login line in the log"
  registered=$(log_time_us "$log" "LINESTATE - LINESTATE_REGISTERED")
  K_SIGN_IN=$(ms_between "$allowed" "$registered")

  # Signed in and idle.
  measure_idle "$pid" || kalvo_fail "$home" "the program ended while idle"
  K_PSS=$MEM_PSS K_USS=$MEM_USS K_CPU_IDLE=$CPU_TOTAL
  K_DETAILS="PSS MiB: $MEM_PARTS; idle CPU %: $CPU_PARTS"

  # Call -> connected: a later start hands the call link over, as a click on a link does.
  local link_pid
  t0=$(now_us)
  "$kalvo" /url "$call_link" </dev/null >"$home/link.out" 2>&1 &
  link_pid=$!
  wait_for_log "$log" "CALLSTATE - connected" 20 || kalvo_fail "$home" "the echo call was not connected within 20 s"
  K_CALL=$(ms_between "$t0" "$(log_time_us "$log" "CALLSTATE - connected")")
  wait_for_exit "$link_pid" 10 || kalvo_fail "$home" "the later start with the call link did not end within 10 s"
  [ "$EXIT_STATUS" -eq 1 ] || note "Kalvo: the later start with the call link ended with $EXIT_STATUS (expected 1: handed over)"
  measure_cpu "$pid" "$CALL_SECONDS"
  K_CPU_CALL=$CPU_TOTAL
  K_DETAILS+="; call CPU %: $CPU_PARTS"
  grep -q -F "CALLSTATE - disconnected" "$log" && kalvo_fail "$home" "the echo call ended during the measurement"

  # Quit (TERM is the desktop's end-of-session request); the tree must end by itself.
  kill -TERM "$pid" 2>/dev/null || true
  local i
  for ((i = 0; i < 150; i++)); do
    group_alive "$pid" || break
    sleep 0.1
  done
  group_alive "$pid" && note "Kalvo (round $round) did not end within 15 s of TERM"
  stop_group "$pid"
  wait "$pid" 2>/dev/null || true
}

# ---- baresip -------------------------------------------------------------------------

# Its control interface (ctrl_tcp): netstrings of JSON, commands in, replies and events out.
ctl_send() {
  local LC_ALL=C message=$1
  printf '%d:%s,' "${#message}" "$message" >&"$CTL"
}

# Reads one message into CTL_MESSAGE; false on time-out (seconds, may be fractional).
ctl_read() {
  local LC_ALL=C length
  IFS= read -r -d ':' -t "$1" -u "$CTL" length || return 1
  length=${length//[!0-9]/}
  [ -n "$length" ] || return 1
  IFS= read -r -N "$((length + 1))" -t "$1" -u "$CTL" CTL_MESSAGE || return 1
}

# Waits for an event of the type; false on time-out or on one of the failure types.
ctl_wait_event() { # type timeout_s failure_pattern
  local end left
  end=$(($(now_us) + $2 * 1000000))
  while :; do
    left=$(((end - $(now_us)) / 1000))
    [ "$left" -gt 0 ] || { CTL_MESSAGE="(time-out)"; return 1; }
    ctl_read "$((left / 1000)).$(printf '%03d' $((left % 1000)))" || { CTL_MESSAGE="(time-out or end)"; return 1; }
    [[ $CTL_MESSAGE == *"\"type\":\"$1\""* ]] && return 0
    [[ $CTL_MESSAGE =~ \"type\":\"($3)\" ]] && return 1
  done
}

baresip_fail() { # home text
  note "baresip: $2"
  [ -s "$1/baresip.out" ] && { note "its output ($1/baresip.out):"; tail -15 "$1/baresip.out" >&2; }
  exit 1
}

write_baresip_config() { # home
  mkdir -p "$1/config" "$1/sounds"
  # aubridge paces the player (a sink without a clock would spin); the sndfile filter
  # writes the far end's audio to a WAV file, as Kalvo does in its file mode. No ring-back
  # files (an empty sounds folder): Kalvo plays none either.
  cat >"$1/config/config" <<EOF
poll_method epoll
sip_listen $address:5072
rtp_ports 10100-10199
audio_path $1/sounds
audio_player aubridge,nil
audio_alert aubridge,nil
audio_source aufile,$work/voice.wav
snd_path $1
module_path /usr/lib/baresip/modules
module g711.so
module aufile.so
module aubridge.so
module sndfile.so
module_app menu.so
module_app ctrl_tcp.so
ctrl_tcp_listen $address:$baresip_ctrl_port
EOF
  : >"$1/config/accounts"
}

# One start of baresip; sets B_READY B_SIGN_IN B_CALL (ms), B_PSS B_USS (MiB), B_CPU_IDLE
# B_CPU_CALL (%).
baresip_round() {
  local round=$1
  local home=$work/baresip-$round
  write_baresip_config "$home"

  # Launch -> its control interface accepts (it has no window).
  local t0 t1 pid end
  t0=$(now_us)
  HOME=$home setsid baresip -n "$address" -f "$home/config" </dev/null >"$home/baresip.out" 2>&1 &
  pid=$!
  started_groups+=("$pid")
  end=$((t0 + 20000000))
  CTL=""
  until exec {CTL}<>"/dev/tcp/$address/$baresip_ctrl_port"; do
    pid_running "$pid" || baresip_fail "$home" "it ended at its start"
    [ "$(now_us)" -lt "$end" ] || baresip_fail "$home" "its control interface did not open within 20 s"
    read -r -t 0.002 -u "$NAP" || true
  done 2>/dev/null
  t1=$(now_us)
  B_READY=$(ms_between "$t0" "$t1")

  # Sign-in: a new account, registered at once.
  t0=$(now_us)
  ctl_send "{\"command\":\"uanew\",\"params\":\"${baresip_account//\"/\\\"}\",\"token\":\"uanew\"}"
  ctl_wait_event REGISTER_OK 30 REGISTER_FAIL || baresip_fail "$home" "not registered within 30 s: $CTL_MESSAGE"
  t1=$(now_us)
  B_SIGN_IN=$(ms_between "$t0" "$t1")

  measure_idle "$pid" || baresip_fail "$home" "it ended while idle"
  B_PSS=$MEM_PSS B_USS=$MEM_USS B_CPU_IDLE=$CPU_TOTAL

  t0=$(now_us)
  ctl_send '{"command":"dial","params":"sip:echotest@kalvo.test","token":"dial"}'
  ctl_wait_event CALL_ESTABLISHED 20 "CALL_CLOSED" || baresip_fail "$home" "the echo call was not connected within 20 s: $CTL_MESSAGE"
  t1=$(now_us)
  B_CALL=$(ms_between "$t0" "$t1")
  measure_cpu "$pid" "$CALL_SECONDS"
  B_CPU_CALL=$CPU_TOTAL
  while ctl_read 0.05; do
    [[ $CTL_MESSAGE == *'"type":"CALL_CLOSED"'* ]] && baresip_fail "$home" "the echo call ended during the measurement"
  done

  ctl_send '{"command":"hangup","params":"","token":"hangup"}'
  ctl_send '{"command":"quit","params":"","token":"quit"}'
  local i
  for ((i = 0; i < 100; i++)); do
    group_alive "$pid" || break
    sleep 0.1
  done
  group_alive "$pid" && note "baresip (round $round) did not end within 10 s of its quit command"
  exec {CTL}>&-
  stop_group "$pid"
  wait "$pid" 2>/dev/null || true
}

# ---- the web engine's floor -----------------------------------------------------------

floor_fail() { # home text
  note "web view floor: $2"
  [ -s "$1/floor.out" ] && { note "its output ($1/floor.out):"; tail -15 "$1/floor.out" >&2; }
  exit 1
}

# One start of one window with one web view, showing Kalvo's sign-in page; sets F_FIRST_WINDOW
# F_PAGE (ms), F_PSS F_USS (MiB), F_CPU_IDLE (%).
floor_round() {
  local round=$1
  local home=$work/floor-$round
  kalvo_user "$home"
  local t0 mapped pid loaded
  start_map_watch
  t0=$(now_us)
  setsid "$floor" "file://$here/skins/Kalvo/login.html" </dev/null >"$home/floor.out" 2>&1 &
  pid=$!
  started_groups+=("$pid")
  mapped=$(wait_for_first_map 30) || { stop_map_watch; floor_fail "$home" "no window was mapped within 30 s of the launch"; }
  stop_map_watch
  F_FIRST_WINDOW=$(ms_between "$t0" "${mapped% *}")
  wait_for_log "$home/floor.out" "loaded " 30 || floor_fail "$home" "the page did not load within 30 s of the launch"
  loaded=$(awk '/^loaded / { print $2; exit }' "$home/floor.out")
  F_PAGE=$(ms_between "$t0" "$loaded")

  measure_idle "$pid" || floor_fail "$home" "it ended while idle"
  F_PSS=$MEM_PSS F_USS=$MEM_USS F_CPU_IDLE=$CPU_TOTAL
  stop_group "$pid"
  wait "$pid" 2>/dev/null || true
}

# ---- figures -------------------------------------------------------------------------

median() { # decimals values...
  local decimals=$1
  shift
  printf '%s\n' "$@" | sort -g | awk -v d="$decimals" '
    { v[NR] = $1 } END { printf "%.*f", d, NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

# "MEDIAN UNIT (MIN–MAX)", or the one value of a single round.
summary() { # decimals unit values...
  local decimals=$1 unit=$2
  shift 2
  if [ $# -eq 1 ]; then
    echo "$(median "$decimals" "$1") $unit"
    return
  fi
  echo "$(median "$decimals" "$@") $unit ($(printf '%s\n' "$@" | sort -g |
    awk -v d="$decimals" 'NR == 1 { lo = $1 } { hi = $1 } END { printf "%.*f–%.*f", d, lo, d, hi }'))"
}

ratio() { # kalvo_median peer_median
  awk -v k="$1" -v p="$2" 'BEGIN { if (p + 0 == 0) print "— (peer 0)"; else printf "%.2f\n", k / p }'
}

# ---- the run -------------------------------------------------------------------------

load_at_start=$(cut -d' ' -f1 /proc/loadavg)
exec {NAP}<> <(:) # an empty pipe: reads on it with a time-out are short pauses

# One display for the whole run, on a free number.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for ((i = 0; i < 100; i++)); do
  [ -s "$work/display" ] && break
  pid_running "$xvfb_pid" || die "Xvfb did not start: $(tail -3 "$work/xvfb.log")"
  sleep 0.1
done
[ -s "$work/display" ] || die "Xvfb did not start within 10 s"
DISPLAY=:$(tr -d "\n" <"$work/display")
export DISPLAY
unset XAUTHORITY

note "starting the local service on $address"
KALVO_BUILD_DIR=$build "$here/service/servicectl" start "$work/service" --address "$address" \
  >"$work/service-start.log" 2>&1 || die "the local service did not start: $(tail -5 "$work/service-start.log")"
service_started=1

# A minute of the ring tone: both programs send it for the whole call.
sox "$here/sounds/ringtone.wav" "$work/voice.wav" repeat 19 || die "could not make the call's sound file"

declare -a k_first k_page k_sign k_call k_pss k_uss k_idle k_cpu b_ready b_sign b_call b_pss b_uss b_idle b_cpu
declare -a f_first f_page f_pss f_uss f_idle
k_details=()
for ((round = 1; round <= ROUNDS; round++)); do
  kalvo_round "$round"
  k_first+=("$K_FIRST_WINDOW") k_page+=("$K_PAGE") k_sign+=("$K_SIGN_IN") k_call+=("$K_CALL") k_pss+=("$K_PSS") k_uss+=("$K_USS")
  k_idle+=("$K_CPU_IDLE") k_cpu+=("$K_CPU_CALL") k_details+=("$K_DETAILS")
  note "round $round/$ROUNDS Kalvo: first window ($K_FIRST_WINDOW_NAME) $K_FIRST_WINDOW ms, sign-in page $K_PAGE ms, sign-in $K_SIGN_IN ms," \
    "call $K_CALL ms, PSS $K_PSS MiB, USS $K_USS MiB, idle CPU $K_CPU_IDLE %, call CPU $K_CPU_CALL % ($K_DETAILS)"
  if [ -n "$have_baresip" ]; then
    baresip_round "$round"
    b_ready+=("$B_READY") b_sign+=("$B_SIGN_IN") b_call+=("$B_CALL") b_pss+=("$B_PSS") b_uss+=("$B_USS")
    b_idle+=("$B_CPU_IDLE") b_cpu+=("$B_CPU_CALL")
    note "round $round/$ROUNDS baresip: ready $B_READY ms, sign-in $B_SIGN_IN ms, call $B_CALL ms," \
      "PSS $B_PSS MiB, USS $B_USS MiB, idle CPU $B_CPU_IDLE %, call CPU $B_CPU_CALL %"
  fi
  floor_round "$round"
  f_first+=("$F_FIRST_WINDOW") f_page+=("$F_PAGE") f_pss+=("$F_PSS") f_uss+=("$F_USS") f_idle+=("$F_CPU_IDLE")
  note "round $round/$ROUNDS web view floor: first window $F_FIRST_WINDOW ms, page $F_PAGE ms," \
    "PSS $F_PSS MiB, USS $F_USS MiB, idle CPU $F_CPU_IDLE %"
done

absent() { command -v "$1" >/dev/null && echo "installed, not measured by this script" || echo "not installed"; }
linphone=$(absent linphone)
twinkle=$(absent twinkle)

# "| PEER | KALVO / PEER" for one peer's values; "—" for a measure the peer has none of.
peer_cells() { # decimals unit kalvo_values_name peer_values_name ("" when none) installed
  local decimals=$1 unit=$2
  local -n kalvo=$3
  if [ -z "$4" ]; then
    echo "| — | —"
  elif [ -z "$5" ]; then
    echo "| not installed | —"
  else
    local -n peer=$4
    echo "| $(summary "$decimals" "$unit" "${peer[@]}") | $(ratio "$(median 3 "${kalvo[@]}")" "$(median 3 "${peer[@]}")")"
  fi
}

row() { # label unit decimals kalvo_values_name baresip_values_name floor_values_name ("" for none)
  local label=$1 unit=$2 decimals=$3
  local -n kalvo_values=$4
  echo "| $label | $(summary "$decimals" "$unit" "${kalvo_values[@]}")" \
    "$(peer_cells "$decimals" "$unit" "$4" "$5" "$have_baresip")" \
    "$(peer_cells "$decimals" "$unit" "$4" "$6" yes) | $linphone | $twinkle |"
}

echo
echo "Medians of $ROUNDS rounds (min–max), $(nproc) cores, load average $load_at_start at the start," \
  "$(date +%Y-%m-%d), Kalvo $(git -C "$here" rev-parse --short HEAD 2>/dev/null || echo '?'):"
echo
echo "| measure | Kalvo | baresip | Kalvo / baresip | one web view ⁶ | Kalvo / web view | Linphone desktop | Twinkle |"
echo "|---|---|---|---|---|---|---|---|"
row "launch → first window mapped ¹" ms 0 k_first b_ready f_first
row "launch → sign-in page loaded ¹" ms 0 k_page "" f_page
row "sign-in → registered ²" ms 0 k_sign b_sign ""
row "call → connected, echo ³" ms 0 k_call b_call ""
row "PSS of the whole process tree, signed in and idle ⁴" MiB 1 k_pss b_pss f_pss
row "of which private (USS) ⁴" MiB 1 k_uss b_uss f_uss
row "CPU over a ${CALL_SECONDS} s echo call, whole tree ⁵" "%" 2 k_cpu b_cpu ""
row "CPU signed in and idle, ${IDLE_SECONDS} s, whole tree ⁵" "%" 2 k_idle b_idle f_idle
cat <<EOF

1. Kalvo, a plain first start (no link) of a new user: its splash, the first window mapped
   on the display, and the "WEB - content page loaded" log line of its sign-in page.
   baresip has no window: launch → its control interface (ctrl_tcp) accepts a connection.
2. Kalvo, started with the sign-in link: the user says Yes to its confirmation; from the
   login's first log line to LINESTATE_REGISTERED (version check over HTTPS, STUN, SIP
   registration). baresip: its uanew command → REGISTER_OK.
3. Kalvo: launch of a later start with $call_link (its hand-over included) → "CALLSTATE -
   connected". baresip: its dial command → CALL_ESTABLISHED. Both send the same WAV file
   and write the echo to a WAV file; the echo service answers with PCMU.
4. Pss of smaps_rollup, summed over the process and all its descendants, ${SETTLE_SECONDS} s after
   registering; USS: their Private_Clean + Private_Dirty. PSS shares each library page among
   all processes mapping it, and USS leaves out pages another process maps too, so both
   fall while other programs with the same libraries run (such as a test suite's Kalvo and
   WebKit processes): compare runs made under the same load only.
5. utime + stime of the process and all its descendants, in % of one core (one clock tick
   over ${IDLE_SECONDS} s is $(awk -v hz="$hz" -v s="$IDLE_SECONDS" 'BEGIN { printf "%.2f", 100 / hz / s }') %).
6. The web engine's floor (bench/web_view_floor.c): one GTK window with one WebKit view, set
   up as Kalvo's views are without a GPU, showing Kalvo's sign-in page from its file; the
   same settle and idle times. Page loaded: its load-finished signal.

Kalvo by process, each round:
EOF
printf -- '- %s\n' "${k_details[@]}"
