#!/usr/bin/env bash
# An independent reader: Debian's cabextract lists, checks and extracts the
# built cabinet; its members must be exactly the control file's (as
# `ceinstall list` reads it) plus the control file and the setup library,
# and each must hold the shipped (stripped) file it stands for.
#
#   cabinet_listing.sh CABINET BINDIR SHIPPEDDIR WINE [FILES]
#   (FILES: how many files the control file lists, 3 unless told; the
#   device's cabinet adds the framework DLL)
set -euo pipefail
cab=$1 bin=$2 shipped=$3 wine=$4 files=${5:-3}
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cabextract -t "$cab" >/dev/null || fail "cabextract finds the cabinet damaged"
cabextract -l "$cab" | awk -F' [|] ' 'NF == 3 && $3 ~ /[.][0-9][0-9][0-9]$/ { print $3 }' | sort >"$work/cabextract"
[ -s "$work/cabextract" ] || fail "cabextract lists no members"

# Wine's drive Z: is the root of this machine.
"$wine" "$bin/ceinstall.exe" list "Z:$(tr / '\\' <<<"$cab")" 2>/dev/null | tr -d '\r' >"$work/list" \
  || fail "ceinstall refuses the cabinet: $(cat "$work/list")"
awk '$1 == "member" { print $3 }' "$work/list" | sort >"$work/members"
diff -u "$work/members" "$work/cabextract" || fail "cabextract and the installer see different members"

# The extensions: the control file's files, plus .000 and .999.
{ echo 000; echo 999; awk '$1 == "file" { print $2 }' "$work/list"; } | sort >"$work/wanted"
sed 's/.*[.]//' "$work/cabextract" | sort >"$work/have"
diff -u "$work/wanted" "$work/have" || fail "the members are not what the control file names"
grep -qx 'application Pelorin' "$work/list" || fail "application name"
grep -qx 'provider Corvane' "$work/list" || fail "provider"
# Registered as the device does, "<provider> <application>": the key the
# setup library reads.
grep -qxF 'record SOFTWARE\Apps\Corvane Pelorin' "$work/list" || fail "the record's key"

# Each member holds the built file it stands for.
mkdir "$work/x"
cabextract -q -d "$work/x" "$cab"
member() { ls "$work/x" | grep "[.]$1\$"; }
cmp "$work/x/$(member 999)" "$shipped/PelorinSetup.dll" || fail "the setup library"
n=0
while read -r _ number name; do
  cmp "$work/x/$(member "$number")" "$shipped/$name" || fail "member .$number is not $name"
  n=$((n + 1))
done < <(awk '$1 == "file"' "$work/list")
[ "$n" -eq "$files" ] || fail "$n files listed, not $files"

# The control file's id lists as the device's installer reads them: a
# folder's end in a 0 that its length counts, a link's carry none.
python3 - "$work/x/$(member 000)" <<'EOF' || fail "the control file's id lists"
import struct, sys
data = open(sys.argv[1], 'rb').read()
def entries(n, head):
    count, = struct.unpack_from('<H', data, 48 + 2 * n)
    at, = struct.unpack_from('<I', data, 60 + 4 * n)
    for _ in range(count):
        length, = struct.unpack_from('<H', data, at + head - 2)
        yield struct.unpack_from('<%dH' % (length // 2), data, at + head)
        at += head + length
dirs, links = list(entries(1, 4)), list(entries(5, 12))
assert dirs and all(ids[-1] == 0 and 0 not in ids[:-1] for ids in dirs), dirs
assert links and all(ids and 0 not in ids for ids in links), links
EOF
echo "cabinet listing: $(wc -l <"$work/cabextract") members, as the control file names"
