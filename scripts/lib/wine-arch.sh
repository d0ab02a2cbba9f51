# Which Windows architectures this machine can run under Wine, and the Wine
# loader and server for each. Sourced by the scripts; defines functions only.
#
# Debian's /usr/bin/wine picks the 32-bit loader whenever wine32 is installed,
# even for a 64-bit program, and that loader cannot start on a kernel without
# 32-bit support. So the scripts never call /usr/bin/wine: they name the
# loader and the server of the architecture they run.

QUILLON_WINE_LIB=${QUILLON_WINE_LIB:-/usr/lib/wine}

# Whether the kernel starts a 32-bit (i386) Linux program. It is tried, not
# read from dpkg: a kernel can have 32-bit support switched off on an amd64
# system with the i386 architecture added. QUILLON_32BIT_PROBE=yes|no answers
# for it (the script's own tests).
quillon_kernel_runs_32bit() {
  case "${QUILLON_32BIT_PROBE:-}" in
    yes) return 0 ;;
    no) return 1 ;;
  esac
  local probe rc
  probe=$(mktemp "${TMPDIR:-/tmp}/quillon-i386-probe.XXXXXX")
  # A static i386 ELF program of 95 bytes: one program header mapping the
  # file, then exit(42) through int 0x80.
  printf '\177ELF\001\001\001\000\000\000\000\000\000\000\000\000'\
'\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000'\
'\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000'\
'\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010'\
'\137\000\000\000\137\000\000\000\005\000\000\000\000\020\000\000'\
'\270\001\000\000\000\061\333\263\052\315\200' >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null && rc=0 || rc=$?
  rm -f "$probe"
  [ "$rc" -eq 42 ]
}

# Prints nothing when ARCH (win32 or win64) can run here, else one line that
# says why not.
quillon_arch_unrunnable_reason() {
  case "$1" in
    win64)
      [ -x "$QUILLON_WINE_LIB/wine64" ] || echo "the 64-bit Wine loader ($QUILLON_WINE_LIB/wine64, package wine64) is not installed"
      ;;
    win32)
      if ! quillon_kernel_runs_32bit; then
        echo "this machine's kernel cannot start 32-bit programs (32-bit emulation is off), so Wine cannot run a 32-bit .exe"
      elif [ ! -x "$QUILLON_WINE_LIB/wine" ]; then
        echo "the 32-bit Wine loader ($QUILLON_WINE_LIB/wine, package wine32:i386) is not installed"
      fi
      ;;
    *) echo "unknown architecture '$1' (win32 or win64)" ;;
  esac
}

# Exports WINELOADER and WINESERVER for ARCH. Wine starts every new process
# through WINELOADER, so the tools a test starts get the same loader.
quillon_use_wine() {
  case "$1" in
    win64) export WINELOADER="$QUILLON_WINE_LIB/wine64" ;;
    win32) export WINELOADER="$QUILLON_WINE_LIB/wine" ;;
  esac
  # One 64-bit server serves 32-bit and 64-bit programs alike.
  if [ -x "$QUILLON_WINE_LIB/wineserver64" ]; then
    export WINESERVER="$QUILLON_WINE_LIB/wineserver64"
  else
    export WINESERVER="$QUILLON_WINE_LIB/wineserver32"
  fi
}

# One line per architecture, in the order the tests run them: "run ARCH", or
# "skip ARCH: why".
quillon_wine_plan() {
  local arch reason
  for arch in win32 win64; do
    reason=$(quillon_arch_unrunnable_reason "$arch")
    if [ -z "$reason" ]; then echo "run $arch"; else echo "skip $arch: $reason"; fi
  done
}

# The architecture the demonstration and the benchmark run: QUILLON_ARCH when
# set, else win32 where the kernel can start 32-bit programs and win64
# otherwise. Asks only what no package can change (the packages are
# install-deps.sh's to bring). Prints the choice, or fails with one line that
# says why the chosen one cannot run here.
quillon_pick_arch() {
  local arch=${QUILLON_ARCH:-}
  if [ -z "$arch" ]; then
    if quillon_kernel_runs_32bit; then arch=win32; else arch=win64; fi
  fi
  case "$arch" in
    win64) ;;
    win32)
      if ! quillon_kernel_runs_32bit; then
        echo "cannot run win32 here: this machine's kernel cannot start 32-bit programs (32-bit emulation is off); QUILLON_ARCH=win64 runs the 64-bit build" >&2
        return 1
      fi
      ;;
    *)
      echo "QUILLON_ARCH must be win32 or win64, not '$arch'" >&2
      return 1
      ;;
  esac
  echo "$arch"
}

# After install-deps.sh: fails with one line when ARCH still cannot run.
quillon_require_arch() {
  local reason
  reason=$(quillon_arch_unrunnable_reason "$1")
  [ -z "$reason" ] && return 0
  echo "cannot run $1 here: $reason" >&2
  return 1
}
