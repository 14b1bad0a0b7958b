#!/usr/bin/env python3
"""Writes a Windows CE installer cabinet: a Microsoft Cabinet, uncompressed,
whose first member is the ".000" control file and whose other members carry
the numeric extensions the control file refers to.

    mkcecab.py OUT.cab BINDIR     the Corvane Pelorin package from BINDIR

The writing functions are also used to make damaged packages for the tests.
Everything is written in a fixed order with a fixed date, so the same programs
give the same cabinet.
"""
import re
import struct
import sys
from pathlib import Path

# %CEn% folders the package uses: program files, start-up, programs.
CE_PROGRAM_FILES, CE_STARTUP, CE_PROGRAMS = 1, 4, 11
FLAG_NO_SKIP = 0x00000002
FLAG_OVERWRITE = 0x40000000


def control_file(app, provider, strings, dirs, files, links, patch=None, link_zero=False):
    """The ".000" file. strings: [(id, text)]; dirs: [(id, [string ids])];
    files: [(id, dir id, flags, name)]; links: [(id, base, target, type,
    [string ids])]. patch(header dict) may spoil header fields for tests.

    A folder's ids end in a 0 that its length counts; a link's are written
    without one, as the device's installer reads them (link_zero adds it,
    for the tests of readers that meet either form)."""
    body = bytearray()
    offsets = {}

    def text(s):
        return s.encode('ascii') + b'\0'

    def ids(path, zero=True):
        return b''.join(struct.pack('<H', i) for i in path + ([0] if zero else []))

    def section(name, entries):
        offsets[name] = 100 + len(body)
        for e in entries:
            body.extend(e)

    section('app', [text(app)])
    section('provider', [text(provider)])
    section('strings', [struct.pack('<HH', i, len(text(s))) + text(s) for i, s in strings])
    section('dirs', [struct.pack('<HH', i, len(ids(path))) + ids(path) for i, path in dirs])
    section('files', [struct.pack('<HHHIH', i, d, i, flags, len(text(n))) + text(n)
                      for i, d, flags, n in files])
    section('reghives', [])
    section('regkeys', [])
    section('links', [struct.pack('<HHHHHH', i, 0, base, target, kind, len(ids(path, link_zero)))
                      + ids(path, link_zero) for i, base, target, kind, path in links])
    h = {
        'length': 100 + len(body), 'arch': 0,
        'nstrings': len(strings), 'ndirs': len(dirs), 'nfiles': len(files),
        'nreghives': 0, 'nregkeys': 0, 'nlinks': len(links),
        'strings': offsets['strings'], 'dirs': offsets['dirs'], 'files': offsets['files'],
        'reghives': offsets['reghives'], 'regkeys': offsets['regkeys'], 'links': offsets['links'],
        'app': offsets['app'], 'applen': len(text(app)),
        'provider': offsets['provider'], 'providerlen': len(text(provider)),
    }
    if patch:
        patch(h)
    header = b'MSCE' + struct.pack(
        '<IIIIIIIIIIIHHHHHHIIIIIIHHHHHHHH',
        0, h['length'], 0, 1, h['arch'], 0, 0, 0, 0, 0, 0,
        h['nstrings'], h['ndirs'], h['nfiles'], h['nreghives'], h['nregkeys'], h['nlinks'],
        h['strings'], h['dirs'], h['files'], h['reghives'], h['regkeys'], h['links'],
        h['app'], h['applen'], h['provider'], h['providerlen'], 0, 0, 0, 0)
    assert len(header) == 100
    return bytes(header + body)


def checksum(data, seed=0):
    """The cabinet's data block checksum: little-endian words XORed, the
    remaining bytes taken high to low."""
    csum = seed
    whole = len(data) // 4 * 4
    for (word,) in struct.iter_unpack('<I', data[:whole]):
        csum ^= word
    rest = data[whole:]
    tail = 0
    for i, b in enumerate(rest):
        tail |= b << (8 * (len(rest) - 1 - i))
    return csum ^ tail


def cabinet(members):
    """A one-folder uncompressed cabinet of [(name, bytes)], in the order given."""
    date, time = ((2026 - 1980) << 9) | (1 << 5) | 1, 0  # 2026-01-01 00:00
    stream = b''.join(data for _, data in members)
    blocks = [stream[i:i + 32768] for i in range(0, len(stream), 32768)] or [b'']
    files = bytearray()
    offset = 0
    for name, data in members:
        files += struct.pack('<IIHHHH', len(data), offset, 0, date, time, 0x20) + name.encode('ascii') + b'\0'
        offset += len(data)
    header_size, folder_size = 36, 8
    first_data = header_size + folder_size + len(files)
    data_part = bytearray()
    for block in blocks:
        sizes = struct.pack('<HH', len(block), len(block))
        data_part += struct.pack('<I', checksum(sizes, checksum(block))) + sizes + block
    total = first_data + len(data_part)
    header = b'MSCF' + struct.pack('<IIIIIBBHHHHH', 0, total, 0, header_size + folder_size, 0,
                                   3, 1, 1, len(members), 0, 0, 0)
    folder = struct.pack('<IHH', first_data, len(blocks), 0)
    return bytes(header + folder + files + data_part)


def member_name(stem, number):
    """The 8.3 name of a member: the file's name cut or padded to eight
    characters, then its number."""
    stem = re.sub(r'[^A-Za-z0-9]', '', stem)
    stem = stem[:6].upper() + '~1' if len(stem) > 8 else stem.rjust(8, '0')
    return '%s.%03d' % (stem, number)


# The package: (file number, name) of the programs, the shortcuts, the setup library.
# The device registers a package as "<provider> <application>": these give the
# setup library's "SOFTWARE\Apps\Corvane Pelorin". The install folder is named
# apart.
APP, PROVIDER = 'Pelorin', 'Corvane'
FOLDER = 'Corvane Pelorin'
PROGRAMS = [(1, 'Pelorin.exe'), (2, 'Kadenza.exe'), (3, 'PelorinStart.exe')]
SETUP_LIBRARY = 'PelorinSetup.dll'


def pelorin_control(patch=None, strings=None, dirs=None, files=None, links=None, link_zero=False,
                    app=APP, provider=PROVIDER):
    strings = strings or [(1, '%CE1%'), (2, FOLDER), (3, 'Pelorin.lnk'), (4, 'PelorinStart.lnk')]
    dirs = dirs or [(1, [1, 2])]
    files = files or [(n, 1, FLAG_OVERWRITE | FLAG_NO_SKIP, name) for n, name in PROGRAMS]
    # The control panel in the programs folder; the driver starter at every
    # start of the device, so the keyboard works before anything opens it.
    links = links or [(1, CE_PROGRAMS, 1, 1, [3]), (2, CE_STARTUP, 3, 1, [4])]
    return control_file(app, provider, strings, dirs, files, links, patch, link_zero)


def pelorin_members(bindir, control):
    """The members in the platform's order: ".000" first, then descending."""
    numbered = [(999, SETUP_LIBRARY)] + sorted(PROGRAMS, reverse=True)
    return [(member_name('CorvanePelorin', 0), control)] + [
        (member_name(Path(name).stem, n), (Path(bindir) / name).read_bytes()) for n, name in numbered]


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    out, bindir = sys.argv[1:]
    Path(out).write_bytes(cabinet(pelorin_members(bindir, pelorin_control())))


if __name__ == '__main__':
    main()
