#!/usr/bin/env bash
# Builds kvt540m and runs it.
#
# With your own profile (~/.config/KVT540M.INI, or $XDG_CONFIG_HOME) the
# program talks to the sign configured there. Without one (or with
# KVT_DEMO=1) it starts the simulated sign on a pseudo-terminal and points
# COM1 of a private profile at it, so that every command gets an answer.
# Without a display it says so and shows the command-line tool working
# against the simulated sign instead.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build

cli=build/tools/kvt540m-cli
sim=build/tools/kvt540m-sign-sim
app=build/src/kvt540m
user_profile="${XDG_CONFIG_HOME:-$HOME/.config}/KVT540M.INI"

sim_pid=""
cleanup() { [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true; }
trap cleanup EXIT

start_simulated_sign() {
  demo=$PWD/build/demo
  mkdir -p "$demo/config"
  rm -f "$demo/sign"
  "$sim" --link "$demo/sign" --log "$demo/sign.log" --save "$demo/sign-state.dat" >/dev/null &
  sim_pid=$!
  for _ in $(seq 50); do [ -e "$demo/sign" ] && break; sleep 0.1; done
  printf '[KVT-540-M_Section]\ncom_port=0\nrs_control=0\n\n[Devices]\nCOM1=%s\n' "$demo/sign" \
    > "$demo/config/KVT540M.INI"
  export XDG_CONFIG_HOME="$demo/config"
  echo "Simulated sign on $(readlink "$demo/sign") (COM1 of the private profile $XDG_CONFIG_HOME/KVT540M.INI)."
  echo "What it receives is logged in $demo/sign.log."
}

if [ -f "$user_profile" ] && [ "${KVT_DEMO:-0}" != 1 ]; then
  echo "Using your profile $user_profile."
else
  start_simulated_sign
fi

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$app" ]; then
  "$app"
  exit 0
fi

if [ -x "$app" ]; then
  echo "No display found (DISPLAY is not set), so the window cannot open."
else
  echo "The window program is not built yet."
fi
echo "Showing the command-line tool instead, against the simulated sign on COM1."
sample=tests/data/sample.dat
step() { echo; echo "\$ $*"; "$@"; }
step "$cli" show "$sample" > build/demo/show.txt
sed -n 1,9p build/demo/show.txt
echo "(the whole listing: build/demo/show.txt)"
step "$cli" check "$sample" && echo "every page can be sent"
step "$cli" send "$sample" text --page 1 --port COM1
step "$cli" send "$sample" colour --page 1 --port COM1
step "$cli" send "$sample" page --port COM1
step "$cli" display on --port COM1
echo
echo "The simulated sign received:"
cut -c1-70 build/demo/sign.log
echo
echo "To try the whole run of every setting (30 s) or the read-back (52 s) yourself:"
echo "  $sim --link /tmp/sign &"
echo "  $cli send $sample --port /tmp/sign"
echo "  $cli read /tmp/read.dat --port /tmp/sign"
