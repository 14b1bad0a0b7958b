#!/usr/bin/env bash
# What can be checked of a build without running it (a host that cannot run
# its word size still checks this): every shipped program and the setup
# library is an image of the build's word size, in build/bin and as shipped
# in build/stripped; the setup library exports exactly the installer's four
# hooks by name; the cabinet reads whole, holds the control file and four
# images of that word size.
#
#   check_images.sh OBJDUMP FORMAT BINDIR SHIPPEDDIR CABINET
#   (FORMAT as objdump names it: pei-i386 or pei-x86-64)
set -euo pipefail
objdump=$1 format=$2 bin=$3 shipped=$4 cab=$5
fail() { echo "FAIL: $*" >&2; exit 1; }

image_format() { "$objdump" -f "$1" 2>/dev/null | sed -n 's/.*file format //p'; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

n=0
for name in Pelorin.exe Kadenza.exe PelorinStart.exe PelorinSetup.dll; do
  for dir in "$bin" "$shipped"; do
    [ -f "$dir/$name" ] || fail "no $dir/$name"
    got=$(image_format "$dir/$name")
    [ "$got" = "$format" ] || fail "$dir/$name is '$got', not $format"
    n=$((n + 1))
  done
done

# Exactly the four hooks, by name, and nothing else.
"$objdump" -p "$shipped/PelorinSetup.dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
  sed -n 's/^[[:space:]]*\[ *[0-9]*\] //p' | sort >"$work/exports"
printf '%s\n' Install_Exit Install_Init Uninstall_Exit Uninstall_Init >"$work/hooks"
diff -u "$work/hooks" "$work/exports" || fail "the setup library's exports are not the four hooks"

cabextract -t "$cab" >/dev/null || fail "cabextract finds the cabinet damaged"
mkdir "$work/x"
cabextract -q -d "$work/x" "$cab"
members=$(ls "$work/x" | wc -l)
[ "$members" -eq 5 ] || fail "$members members in the cabinet, not 5"
ls "$work/x" | grep -q '[.]000$' || fail "no control file (.000)"
for member in "$work"/x/*; do
  case "$member" in *.000) continue ;; esac
  got=$(image_format "$member")
  [ "$got" = "$format" ] || fail "cabinet member $(basename "$member") is '$got', not $format"
  n=$((n + 1))
done
echo "images: $n of $format, the setup library's four hooks, the cabinet's 5 members"
