# Shared by scripts/test, scripts/run and scripts/bench: installs what is
# missing, builds into build/, and prepares the private Wine prefix and a
# display. Source it, then call prepare.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# PELORIN_ARCH=i686 builds for the device's 32 bits into build-i686/ and runs
# it in a 32-bit prefix of its own under 32-bit Wine.
ARCH="${PELORIN_ARCH:-x86_64}"
case "$ARCH" in
  x86_64)
    DEFAULT_BUILD="$ROOT/build"
    WINE=/usr/lib/wine/wine64
    WINESERVER=/usr/lib/wine/wineserver64
    export WINEARCH=win64
    ;;
  i686)
    DEFAULT_BUILD="$ROOT/build-i686"
    WINE=/usr/lib/wine/wine
    WINESERVER=/usr/lib/wine/wineserver32
    export WINEARCH=win32
    ;;
  *)
    echo "PELORIN_ARCH must be x86_64 or i686, not '$ARCH'" >&2
    exit 2
    ;;
esac
export PELORIN_ARCH="$ARCH"
# PELORIN_BUILD picks another build folder (and so another prefix), so that
# several checkouts or developers can test side by side.
BUILD="${PELORIN_BUILD:-$DEFAULT_BUILD}"

export WINEPREFIX="$BUILD/wineprefix"
export WINEDEBUG=-all
# Keep wineboot from offering to download Mono and Gecko.
export WINEDLLOVERRIDES="mscoree,mshtml="

# The virtual screen and Wine's desktop on it; scripts/run shows the device's.
PELORIN_SCREEN="${PELORIN_SCREEN:-1024x768}"

log() { printf '== %s\n' "$*" >&2; }

install_packages() {
  local need=()
  command -v cmake >/dev/null || need+=(cmake)
  command -v ninja >/dev/null || need+=(ninja-build)
  if [ "$ARCH" = i686 ]; then
    command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-i686-posix)
    command -v i686-w64-mingw32-windres >/dev/null || need+=(binutils-mingw-w64-i686)
    if [ ! -x "$WINE" ]; then
      dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
      need+=(wine32:i386)
    fi
  else
    command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
    command -v x86_64-w64-mingw32-windres >/dev/null || need+=(binutils-mingw-w64-x86-64)
    [ -x "$WINE" ] || need+=(wine64)
  fi
  command -v wine >/dev/null || need+=(wine)
  # Wine's Tahoma: the dialog font that sets the size of a dialog unit.
  dpkg -s fonts-wine >/dev/null 2>&1 || need+=(fonts-wine)
  command -v Xvfb >/dev/null || need+=(xvfb)
  command -v xwd >/dev/null || need+=(x11-apps)
  dpkg -s imagemagick >/dev/null 2>&1 || need+=(imagemagick)
  command -v cabextract >/dev/null || need+=(cabextract)
  # The device SDK check compiles the shipped units with clang for ARM.
  command -v clang >/dev/null || need+=(clang)
  [ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
  if [ ${#need[@]} -gt 0 ]; then
    log "installing ${need[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
  fi
}

build() {
  log "building into $BUILD"
  local cache="$BUILD/CMakeCache.txt"
  if [ -f "$cache" ] && grep -q '^PELORIN_ARCH:' "$cache" && ! grep -qx "PELORIN_ARCH:STRING=$ARCH" "$cache"; then
    log "$BUILD was built for another word size; choose another PELORIN_BUILD"
    return 1
  fi
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPELORIN_ARCH="$ARCH" \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" >/dev/null
  cmake --build "$BUILD"
}

# Whether this host runs 32-bit programs: some kernels run 64-bit user
# programs only ("IA-32 emulation off"), and then no 32-bit Wine starts. Asked
# of a real 32-bit program, the 32-bit wineserver, never guessed from the
# machine. PELORIN_PROBE32 names another program to try instead (one that
# cannot start shows the other path on a host that can). Returns 0 when it
# runs; otherwise 1, with the reason in HOST32_REASON and in $BUILD/host32.txt.
HOST32_REASON=
host_runs_32bit() {
  local probe="${PELORIN_PROBE32:-$WINESERVER}" out rc=0
  out=$(timeout 30 bash -c '"$0" --version' "$probe" 2>&1 </dev/null) || rc=$?
  if [ "$rc" -eq 0 ]; then
    rm -f "$BUILD/host32.txt"
    return 0
  fi
  out=$(printf '%s' "$out" | tr '\n' ' ' | sed 's/ *$//')
  HOST32_REASON="this host cannot run 32-bit programs: $probe --version exited $rc${out:+ ($out)}"
  printf '%s\n' "$HOST32_REASON" >"$BUILD/host32.txt"
  return 1
}

# A virtual display unless one is given.
XVFB_PID=
start_display() {
  if [ -n "${DISPLAY:-}" ]; then return; fi
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${PELORIN_SCREEN}x24" -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  log "virtual display $DISPLAY"
}

# The platform's fonts: the dialogs' Tahoma and Marlett's caption glyphs. Wine
# finds them in the prefix's Fonts folder, not in /usr/share/wine/fonts.
install_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts" f
  mkdir -p "$fonts"
  for f in tahoma.ttf tahomabd.ttf marlett.ttf; do
    cp -u "/usr/share/wine/fonts/$f" "$fonts/"
  done
}

# The prefix's wineserver is the device's uptime: started here, stopped at the end.
start_prefix() {
  mkdir -p "$WINEPREFIX"
  install_fonts
  # The desktop's size as this run wants it (the tests' large screen or the
  # device's): Wine reads it when its desktop starts, so it is set in the
  # stored registry before anything runs.
  [ -f "$WINEPREFIX/user.reg" ] &&
    sed -i 's/^"Default"="[0-9]*x[0-9]*"$/"Default"="'"$PELORIN_SCREEN"'"/' "$WINEPREFIX/user.reg"
  "$WINESERVER" -p >/dev/null 2>&1 </dev/null
  if [ ! -f "$WINEPREFIX/.pelorin-ready" ]; then
    log "creating the Wine prefix (first time only)"
    "$WINE" wineboot -i >/dev/null 2>&1 </dev/null
    # Wine's own desktop window: hiding a window then needs no window manager.
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$PELORIN_SCREEN" /f >/dev/null 2>&1
    # wineboot started a desktop of its own before the setting existed: start
    # the device again so that everything runs in the virtual desktop.
    "$WINESERVER" -k >/dev/null 2>&1 || true
    sleep 1
    "$WINESERVER" -p >/dev/null 2>&1 </dev/null
    touch "$WINEPREFIX/.pelorin-ready"
  fi
  # The device's ROM: the keyboard driver, its simulator and the platform's
  # control panel host live in the Windows folder, where CE programs find them.
  local f
  for f in Pelorin.dll plnkbd.exe ctlpnl.exe; do
    [ -f "$BUILD/bin/$f" ] && cp -f "$BUILD/bin/$f" "$WINEPREFIX/drive_c/windows/"
  done
  # Start Wine's services and its desktop now, detached from our output: a
  # process started later would otherwise hold the caller's pipes open.
  "$WINE" wineboot >/dev/null 2>&1 </dev/null
  "$WINE" explorer /desktop=Default,"$PELORIN_SCREEN" >/dev/null 2>&1 </dev/null &
  sleep 1
}

# The desktop held for the whole run (tools/keepdesktop.cpp): each test case is
# a program of its own, and without a program that stays on the desktop Wine
# would end the desktop and start it again, under the next case's output,
# between every two cases. Started detached from our output, as the desktop is.
keep_desktop() {
  "$WINE" "$BUILD/bin/keepdesktop.exe" >/dev/null 2>&1 </dev/null &
}

# PELORIN_STRESS=1: every core kept busy by another process while the run
# lasts (stress-ng --cpu N), as on a shared machine; stopped with the run.
STRESS_PID=
start_stress() {
  [ "${PELORIN_STRESS:-0}" = 1 ] || return 0
  if ! command -v stress-ng >/dev/null; then
    log "installing stress-ng"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends stress-ng >/dev/null
  fi
  # Bounded, so that it cannot outlive a run that is killed.
  stress-ng --cpu "$(nproc)" --timeout 4h --quiet </dev/null >/dev/null 2>&1 &
  STRESS_PID=$!
  log "load: stress-ng --cpu $(nproc) (pid $STRESS_PID)"
}

stop_all() {
  if [ -n "$STRESS_PID" ]; then
    kill "$STRESS_PID" 2>/dev/null || true
    wait "$STRESS_PID" 2>/dev/null || true
  fi
  "$WINESERVER" -k >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}

# Everything a script needs before it runs anything under Wine. The clean-up
# is in place first, so that a failure on the way leaves nothing running. For
# 32 bits on a host that runs no 32-bit program, it ends after the build with
# exit status 77 and the reason.
prepare() {
  trap stop_all EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  install_packages
  build
  if [ "$ARCH" = i686 ] && ! host_runs_32bit; then
    log "the 32-bit programs are built in $BUILD, but nothing can run them: $HOST32_REASON"
    log "what needs no running: ctest --test-dir $BUILD -L static"
    exit 77
  fi
  start_display
  start_prefix
}

# Saves the whole virtual screen as build/screenshots/NAME.png.
screenshot() {
  mkdir -p "$BUILD/screenshots"
  xwd -root -silent -display "$DISPLAY" | convert xwd:- "$BUILD/screenshots/$1.png" 2>/dev/null || true
}
