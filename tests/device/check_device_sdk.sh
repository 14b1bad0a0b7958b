#!/usr/bin/env bash
# Compiles every shipped unit against the device's SDK surface alone
# (platform/devicesdk): no desktop header in sight, C++98, no exceptions or
# run-time types, 32-bit pointers and a 16-bit wchar_t, with the device
# projects' defines. A name the surface does not declare fails the unit with
# its file and line. First, probes show that the surface lacks what the
# device lacks and that a failure names the file and line.
#
# The resource scripts go through the resource compiler with the same
# surface as their preprocessor's only headers, beside the device projects'
# newres.h (ours, alone: the stand-in windows.h beside it stays out of sight).
#
#   check_device_sdk.sh SOURCE_ROOT CLANG WINDRES
set -uo pipefail

ROOT="$1"
CLANG="$2"
WINDRES="$3"
SDK="$ROOT/platform/devicesdk"
FLAGS=(-fsyntax-only --target=arm-none-eabi -x c++ -std=c++98 -pedantic-errors -fno-exceptions -fno-rtti
       -fshort-wchar -nostdinc -isystem "$SDK/include" -isystem "$SDK/mfc"
       -D_WIN32_WCE=420 -DUNDER_CE=420 -DWIN32_PLATFORM_PSPC=400 -DARM -D_ARM_ -DARMV4
       -DUNICODE -D_UNICODE -D_AFXDLL)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# The device's word sizes.
printf '%s\n' '#include <windows.h>' \
  'typedef char PointerIs32Bits[sizeof(void *) == 4 ? 1 : -1];' \
  'typedef char WcharIs16Bits[sizeof(wchar_t) == 2 ? 1 : -1];' \
  'typedef char DlgTemplateIs18Bytes[sizeof(DLGTEMPLATE) == 18 ? 1 : -1];' >"$work/sizes.cpp"
if ! "$CLANG" "${FLAGS[@]}" "$work/sizes.cpp"; then
  echo "FAIL: the check does not compile for 32-bit pointers, a 16-bit wchar_t and a dialog template's 18 bytes"
  status=1
fi

# expect_refused NAME PATTERN COMMAND...: a probe using NAME, which the
# device's SDK lacks, must fail with a message naming its file and line.
expect_refused() {
  local name="$1" pattern="$2" out
  shift 2
  if out=$("$@" 2>&1); then
    echo "FAIL: the surface declares $name, which the device's SDK lacks"
    status=1
  elif ! grep -q "$pattern" <<<"$out"; then
    echo "FAIL: using $name did not fail with the file and line:"
    echo "$out"
    status=1
  fi
}

# Names the device's SDK lacks: each probe must fail, at its own line.
probe() {
  local name="$1" use="$2" file="$work/probe_$1.cpp"
  printf '%s\n' '#include <windows.h>' "void Probe(wchar_t *text, HWND window, HKEY key) { $use; }" >"$file"
  expect_refused "$name" "probe_$name.cpp:2:[0-9]*: error: .*$name" "$CLANG" "${FLAGS[@]}" "$file"
}
probe ARRAYSIZE 'int n = ARRAYSIZE("ab"); (void)n'
probe StringCchCopyW 'StringCchCopyW(text, 4, L"x")'
probe GetWindowLongPtrW 'GetWindowLongPtrW(window, 0)'
probe MessageBoxA 'MessageBoxA(window, "x", "y", 0)'
probe RegDeleteTreeW 'RegDeleteTreeW(key, text)'

# Every shipped unit, with its own folder and the shared folder in reach.
units=0
while read -r unit; do
  units=$((units + 1))
  if ! "$CLANG" "${FLAGS[@]}" -I"$(dirname "$unit")" -I"$ROOT/common" "$unit"; then
    echo "FAIL: ${unit#"$ROOT"/} does not compile against the device's SDK"
    status=1
  fi
done < <(find "$ROOT/common" "$ROOT/controlpanel" "$ROOT/palette" "$ROOT/starter" "$ROOT/setup" -name '*.cpp' | sort)

# Every resource script.
mkdir -p "$work/project"
cp "$ROOT/platform/include/newres.h" "$work/project/"
RCFLAGS=(-c 65001 --preprocessor="$CLANG")
for arg in -E -xc -DRC_INVOKED -nostdinc -isystem"$SDK/include" -isystem"$SDK/mfc" -I"$work/project" \
           -D_WIN32_WCE=420 -DUNDER_CE=420 -DWIN32_PLATFORM_PSPC=400 -DUNICODE -D_UNICODE; do
  RCFLAGS+=(--preprocessor-arg="$arg")
done
# compile_rc SCRIPT FOLDER: FOLDER holds the script's resource.h and res/.
compile_rc() { "$WINDRES" "${RCFLAGS[@]}" -I"$2" -I"$ROOT/common" -i "$1" -O res -o "$work/out.res"; }

# A style the device's SDK lacks fails a script at its line: the desktop
# resource editor's DS_FIXEDSYS, which no CE SDK header defines.
sed 's/WS_POPUP | WS_CAPTION/WS_POPUP | DS_FIXEDSYS | WS_CAPTION/' "$ROOT/controlpanel/Pelorin.rc" \
  >"$work/probe_style.rc"
expect_refused DS_FIXEDSYS "probe_style.rc:[0-9]*: syntax error" compile_rc "$work/probe_style.rc" "$ROOT/controlpanel"

scripts=0
while read -r script; do
  scripts=$((scripts + 1))
  if ! compile_rc "$script" "$(dirname "$script")"; then
    echo "FAIL: ${script#"$ROOT"/} does not compile against the device's SDK"
    status=1
  fi
done < <(find "$ROOT/controlpanel" "$ROOT/palette" "$ROOT/starter" "$ROOT/setup" -name '*.rc' | sort)

if [ "$units" -eq 0 ] || [ "$scripts" -eq 0 ]; then
  echo "FAIL: no shipped units or resource scripts found under $ROOT"
  status=1
fi
[ $status -eq 0 ] && echo "device SDK: $units shipped units and $scripts resource scripts compile against the surface; 6 probes fail as they must"
exit $status
