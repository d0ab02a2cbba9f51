# Wine lanes: isolated places for the Wine suites to run side by side.
# Sourced by the scripts, after wine-arch.sh; defines functions only.
#
# A lane is a folder LANES/<id>/ holding a Wine prefix of its own (and so a
# wineserver of its own: Wine starts one server per prefix) and the number of
# an Xvfb display of its own. Nothing a test does in one lane (a window, the
# focus, a timer, the settings store, %TEMP%, the job log) can reach another.
# CTest hands each Wine test one lane (the resource "lanes" of the resource file
# written here); the Wine runner of a build folder turns the lane it was given
# into WINEPREFIX and DISPLAY.
#
# Every lane's prefix is a copy of one made once: making a prefix costs
# Wine some twenty seconds of processor time, copying it a fraction of that.
# The prefix is made by the 64-bit loader, so that both architectures' programs
# run in it (a 64-bit prefix carries the 32-bit system folder as well).

# quillon_lanes_up LANES COUNT: makes the lanes 0..COUNT-1 below LANES, each
# with a running Xvfb, and writes LANES/resources.json for CTest.
quillon_lanes_up() {
  local lanes=$1 count=$2 id template
  # What a run that was cut short left behind goes first.
  quillon_lanes_down "$lanes"
  rm -rf "$lanes"
  mkdir -p "$lanes"
  template=$lanes/template
  quillon_use_wine win64
  # Each Wine step is bounded: a Wine that hangs fails the run, not CI's clock.
  WINEPREFIX=$template WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    timeout 300 "$WINELOADER" wineboot -i >/dev/null 2>&1 || true
  # Without a window manager, Wine stalls about two seconds whenever a
  # managed top-level window is destroyed; unmanaged windows close at once.
  WINEPREFIX=$template WINEDEBUG=-all \
    timeout 120 "$WINELOADER" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1 || true
  WINEPREFIX=$template timeout 120 "$WINESERVER" -w || WINEPREFIX=$template "$WINESERVER" -k
  if [ ! -f "$template/system.reg" ]; then
    echo "wine-lanes: Wine could not make a prefix in $template" >&2
    return 1
  fi
  for ((id = 0; id < count; id++)); do
    mkdir -p "$lanes/$id"
    quillon_copy_prefix "$template" "$lanes/$id/prefix"
    quillon_lane_display "$lanes/$id" || return 1
  done
  rm -rf "$template"
  # Each lane's wineserver stays up, and with it Wine's own system programs
  # (the desktop on the lane's display among them): a Windows program started
  # in a lane whose server had gone would wait a second or two for Wine to
  # start them again, and every test is at least one such start.
  local warming=()
  for ((id = 0; id < count; id++)); do
    (
      export WINEPREFIX=$lanes/$id/prefix WINEDEBUG=-all
      DISPLAY=$(cat "$lanes/$id/display")
      export DISPLAY
      "$WINESERVER" -p
      timeout 120 "$WINELOADER" cmd /c exit >/dev/null 2>&1
    ) &
    warming+=($!)
  done
  # Only these: the lanes' Xvfb servers are children of this shell too.
  wait "${warming[@]}"
  {
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"lanes": ['
    for ((id = 0; id < count; id++)); do
      printf '%s{"id": "%d", "slots": 1}' "$([ "$id" -gt 0 ] && echo ', ')" "$id"
    done
    printf ']}]}\n'
  } >"$lanes/resources.json"
}

# Copies a Wine prefix. The system's DLLs (over a gigabyte, and nothing a
# test ever writes) are shared as hard links; everything else, the registry
# and the users' folders above all, is a copy of the lane's own.
quillon_copy_prefix() {
  local from=$1 to=$2 shared=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)
  local excludes=() dir
  for dir in "${shared[@]}"; do excludes+=(--exclude "./$dir"); done
  mkdir -p "$to"
  tar -C "$from" "${excludes[@]}" -cf - . | tar -C "$to" -xf -
  for dir in "${shared[@]}"; do
    [ -d "$from/$dir" ] && cp -al "$from/$dir" "$to/$dir"
  done
  return 0
}

# Starts an Xvfb for one lane on a display it picks itself, and writes the
# display (":<n>") to LANE/display and the server's process id to LANE/xvfb.pid.
quillon_lane_display() {
  local lane=$1 number="" waited=0
  : >"$lane/display.number"
  # Xvfb writes its display number to the given descriptor once it accepts
  # connections, so nothing connects before it is ready.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>>"$lane/display.number" \
    >/dev/null 2>&1 &
  echo $! >"$lane/xvfb.pid"
  while [ -z "$number" ]; do
    number=$(tr -dc '0-9' <"$lane/display.number")
    [ -n "$number" ] && break
    if ! kill -0 "$(cat "$lane/xvfb.pid")" 2>/dev/null || [ $waited -ge 200 ]; then
      echo "wine-lanes: Xvfb did not start for $lane" >&2
      return 1
    fi
    sleep 0.05
    waited=$((waited + 1))
  done
  echo ":$number" >"$lane/display"
}

# quillon_lanes_down LANES: ends every lane's Wine programs and its Xvfb. The
# prefixes stay, with what failed tests kept in them.
quillon_lanes_down() {
  local lanes=$1 lane
  [ -d "$lanes" ] || return 0
  quillon_use_wine win64
  # Every step may find its part gone already; none may stop the others
  # (this runs from traps, under set -e).
  for lane in "$lanes"/[0-9]*/; do
    WINEPREFIX=$lane/prefix "$WINESERVER" -k 2>/dev/null || true
    if [ -f "$lane/xvfb.pid" ]; then kill "$(cat "$lane/xvfb.pid")" 2>/dev/null || true; fi
    rm -f "$lane/xvfb.pid"
  done
  return 0
}

# The lane CTest gave this test ("id:3,slots:1" in CTEST_RESOURCE_GROUP_0_LANES),
# or 0 when CTest gave none (it is listing the tests, before any runs).
quillon_lane_of_test() {
  local given=${CTEST_RESOURCE_GROUP_0_LANES:-id:0,slots:1}
  given=${given#id:}
  echo "${given%%,*}"
}
