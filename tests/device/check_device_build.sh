#!/usr/bin/env bash
# The device build, when an SDK is given (PELORIN_CE_SDK as the test runs):
# scripts/device-build makes the four images and the device's cabinet from
# the sources as they are. Each image is one the device loads: a 32-bit x86
# image of the Windows CE GUI subsystem, version 4.20, importing from nothing
# but the device's DLLs (coredll, aygshell, commctrl and the framework DLL),
# within its size budget; the setup library exports the installer's four
# hooks by name. The cabinet is marked for the images' processor, carries the
# framework DLL into the Windows folder unless the ROM has it, and cabextract
# and the installer stand-in read it as they read the desktop one.
# Without an SDK it says "skipped: no SDK" and exits with 77.
#
#   check_device_build.sh SOURCE_ROOT OUTDIR OBJDUMP CMAKE BINDIR WINE
#   (BINDIR: the desktop build's, with the installer stand-in)
set -euo pipefail
root=$1 out=$2 objdump=$3 cmake=$4 bin=$5 wine=$6
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if [ -z "${PELORIN_CE_SDK:-}" ]; then
  echo "skipped: no SDK (PELORIN_CE_SDK names one)"
  exit 77
fi
PELORIN_DEVICE_BUILD="$out" "$root/scripts/device-build" "$PELORIN_CE_SDK" >/dev/null ||
  fail "scripts/device-build $PELORIN_CE_SDK ended with $?"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# field HEADERS NAME: a field of objdump's reading of an image's headers.
field() { awk -v name="$2" '$1 == name { print $2; exit }' <<<"$1"; }

# The Pocket PC 2003 ROM's framework DLL; any other comes with the package.
ROM_FRAMEWORK=mfcce300.dll
framework=
for image in Pelorin.exe Kadenza.exe PelorinStart.exe PelorinSetup.dll; do
  headers=$("$objdump" -p "$out/bin/$image") || fail "objdump cannot read $image"
  grep -q 'file format pei-i386$' <<<"$headers" || fail "$image is no 32-bit x86 image"
  [ "$(field "$headers" Magic)" = 010b ] || fail "$image is no PE32 image"
  [ "$(field "$headers" Subsystem)" = 00000009 ] ||
    fail "$image: subsystem $(field "$headers" Subsystem), not 9 (Windows CE GUI)"
  version="$(field "$headers" MajorSubsystemVersion).$(field "$headers" MinorSubsystemVersion)"
  [ "$version" = 4.20 ] || fail "$image: subsystem version $version, not 4.20"
  sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' >"$work/imports"
  grep -qx coredll.dll "$work/imports" || fail "$image imports nothing from coredll"
  others=$(grep -Evx 'coredll\.dll|aygshell\.dll|commctrl\.dll|mfcce[0-9]+\.dll' "$work/imports" | tr '\n' ' ' || true)
  [ -z "$others" ] || fail "$image imports from $others, which the device lacks"
  if grep -qx 'mfcce[0-9]*\.dll' "$work/imports"; then
    [ "$image" = Pelorin.exe ] || fail "$image imports the framework"
    framework=$(grep -x 'mfcce[0-9]*\.dll' "$work/imports")
  fi
done
[ -n "$framework" ] || fail "Pelorin.exe imports no framework DLL"

# Exactly the four hooks, by name.
"$objdump" -p "$out/bin/PelorinSetup.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort >"$work/exports"
printf '%s\n' Install_Exit Install_Init Uninstall_Exit Uninstall_Init >"$work/hooks"
diff -u "$work/hooks" "$work/exports" || fail "the setup library's exports are not the four hooks"

"$cmake" -DDIR="$out/bin" -DIMAGES=device -P "$root/cmake/checksizes.cmake" || fail "an image outgrows its budget"

# The control file: the processor type of x86 (686) and, unless the ROM has
# it, the framework DLL in the Windows folder (%CE2%), counted as shared.
mkdir "$work/x"
cabextract -q -d "$work/x" "$out/Pelorin.cab" || fail "cabextract cannot extract the device's cabinet"
carried=$([ "$framework" = "$ROM_FRAMEWORK" ] || echo "$framework")
python3 - "$work/x"/*.000 "$carried" <<'EOF' || fail "the device's control file"
import struct, sys
data, carried = open(sys.argv[1], 'rb').read(), sys.argv[2]
arch, = struct.unpack_from('<I', data, 20)
assert arch == 686, 'processor type %d, not 686 (x86)' % arch
counts, offsets = struct.unpack_from('<6H', data, 48), struct.unpack_from('<6I', data, 60)
def entries(n, head):
    at = offsets[n]
    for _ in range(counts[n]):
        size, = struct.unpack_from('<H', data, at + head - 2)
        yield data[at:at + head], data[at + head:at + head + size]
        at += head + size
strings = {struct.unpack_from('<H', h)[0]: raw.rstrip(b'\0').decode() for h, raw in entries(0, 4)}
dirs = {struct.unpack_from('<H', h)[0]: [strings.get(i) for i in struct.unpack('<%dH' % (len(raw) // 2), raw) if i]
        for h, raw in entries(1, 4)}
files = {raw.rstrip(b'\0').decode().lower(): struct.unpack_from('<HHHI', h) for h, raw in entries(2, 12)}
if carried:
    assert carried in files, '%s is not in the cabinet' % carried
    _, folder, _, flags = files[carried]
    assert dirs[folder] == ['%CE2%'], '%s goes to %s, not the Windows folder' % (carried, dirs[folder])
    assert flags & 0x80000000, '%s is not a shared file' % carried
else:
    assert not any(name.startswith('mfcce') for name in files), 'the ROM has the framework DLL'
EOF

# cabextract and the installer stand-in read it whole, as the desktop one.
files=3
[ -z "$carried" ] || files=4
bash "$root/tests/setup/cabinet_listing.sh" "$out/Pelorin.cab" "$bin" "$out/bin" "$wine" "$files"
echo "device images: 4 of pei-i386, Windows CE GUI 4.20, the device's DLLs only, within budget; cabinet for x86"
