#!/usr/bin/env python3
"""Writes the installer tests' cabinets into OUTDIR. Damaged ones, one per
way a package can be wrong, for the refusal tests: each is the real
package's layout with one fault, its programs small stand-ins, as nothing of
a refused package may be installed anyway. And sound ones: the real
package's control file with its links in the other form (a 0 after the
ids), a package of another application, of other names and shapes, and the
real package from SHIPPEDDIR under other names: application "Corvane
Pelorin", which the device registers as "Corvane Corvane Pelorin", a key the
setup library does not look for.

    mkbadcabs.py OUTDIR SHIPPEDDIR
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / 'tools'))
import mkcecab as m  # noqa: E402

STRINGS = [(1, '%CE1%'), (2, m.FOLDER), (3, 'Pelorin.lnk'), (4, 'PelorinStart.lnk')]


def members(control, extra=()):
    programs = [(m.member_name(Path(name).stem, n), b'MZ stand-in for ' + name.encode()) for n, name in
                sorted(m.PROGRAMS, reverse=True)]
    return [(m.member_name('CorvanePelorin', 0), control), (m.member_name('PelorinSetup', 999), b'MZ')] + \
        programs + list(extra)


def cab(control=None, extra=()):
    return m.cabinet(members(control or m.pelorin_control(), extra))


def patched(**fields):
    def patch(h):
        h.update(fields)
    return m.pelorin_control(patch=patch)


def other_application():
    """"Fenwick Notes": no setup library, a subfolder, a shortcut in the
    programs folder to a file and one in the install folder to a folder, and
    a shared library into the Windows folder."""
    strings = [(1, '%CE1%'), (2, 'Fenwick Notes'), (3, 'Data'), (4, 'Notes.lnk'), (5, 'Notes Data.lnk'),
               (6, '%CE2%')]
    dirs = [(1, [1, 2]), (2, [1, 2, 3]), (3, [6])]
    files = [(1, 1, m.FLAG_NO_SKIP, 'Notes.exe'), (2, 2, m.FLAG_NO_SKIP, 'Notes.dat'),
             (3, 3, m.FLAG_SHARED | m.FLAG_NO_SKIP, 'FwShared.dll')]
    links = [(1, m.CE_PROGRAMS, 1, 1, [4]), (2, 0, 2, 0, [5])]
    control = m.control_file('Notes', 'Fenwick', strings, dirs, files, links)
    return m.cabinet([(m.member_name('FenwickNotes', 0), control), (m.member_name('FwShared', 3), b'MZ shared'),
                      (m.member_name('Notes', 2), b'notes data\n'), (m.member_name('Notes', 1), b'MZ notes program')])


def main():
    out, shipped = Path(sys.argv[1]), sys.argv[2]
    out.mkdir(parents=True, exist_ok=True)
    good = cab()
    bad = {
        'truncated': good[:len(good) // 2],
        'signature': b'MSCX' + good[4:],
        'control-offset': cab(patched(strings=0xFFFF0)),
        'control-count': cab(patched(nlinks=9)),
        'control-name-offset': cab(patched(app=0xFFF0)),
        'member-separator': cab(extra=[('..\\EVIL.004', b'x')]),
        'file-separator': cab(m.pelorin_control(files=[(1, 1, 2, '..\\Pelorin.exe')])),
        'folder-dotdot': cab(m.pelorin_control(strings=STRINGS[:1] + [(2, '..')] + STRINGS[2:])),
        'duplicate-extension': cab(extra=[(m.member_name('Other', 1), b'MZ')]),
        'missing-member': cab(m.pelorin_control(
            files=[(n, 1, 2, name) for n, name in m.PROGRAMS] + [(4, 1, 2, 'Extra.exe')])),
    }
    sound = {
        'links-with-zero': cab(m.pelorin_control(link_zero=True)),
        'other-application': other_application(),
        'other-names': m.cabinet(m.pelorin_members(shipped, m.pelorin_control(app='Corvane Pelorin'))),
    }
    for name, data in {**bad, **sound}.items():
        (out / (name + '.cab')).write_bytes(data)


if __name__ == '__main__':
    main()
