#!/usr/bin/env python3
"""Writes a Windows CE installer cabinet: a Microsoft Cabinet, uncompressed,
whose first member is the ".000" control file and whose other members carry
the numeric extensions the control file refers to.

    mkcecab.py OUT.cab BINDIR     the Corvane Pelorin package from BINDIR
    mkcecab.py --device OUT.cab BINDIR [--windows DLL]...
                                  the same package for the processor of the
                                  device images in BINDIR, with each DLL also
                                  going into the device's Windows folder

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


# The device's cabinet: the package above, read back from its control file so
# that both have the same names, folders, shortcuts and setup library, marked
# for the processor that its images are built for. A DLL that the programs
# import and the device's ROM lacks goes into the device's Windows folder, as
# a shared file: counted, so that it goes with the last package that uses it,
# and never over a newer copy.
CE_WINDOWS = 2
FLAG_KEEP_NEWER = 0x20000000
FLAG_SHARED = 0x80000000
# The installer's processor types (SYSTEM_INFO.dwProcessorType) by the images'
# machine field: x86 (the platform's emulator), ARM and Thumb.
PROCESSOR_TYPES = {0x014c: 686, 0x01c0: 2577, 0x01c2: 2577}


def processor_type(path):
    """The installer's processor type of the image at path."""
    data = Path(path).read_bytes()
    pe = struct.unpack_from('<I', data, 0x3c)[0] if data[:2] == b'MZ' and len(data) >= 0x40 else 0
    if not pe or data[pe:pe + 4] != b'PE\0\0':
        sys.exit('%s is no Windows CE image' % path)
    machine = struct.unpack_from('<H', data, pe + 4)[0]
    if machine not in PROCESSOR_TYPES:
        sys.exit('%s is for machine 0x%04x, which no device of the package has' % (path, machine))
    return PROCESSOR_TYPES[machine]


def control_lists(data):
    """The strings, folders, files and links of a control file as
    control_file() writes them (its arguments back)."""
    counts = struct.unpack_from('<6H', data, 48)
    offsets = struct.unpack_from('<6I', data, 60)

    def entries(section, head):
        at = offsets[section]
        for _ in range(counts[section]):
            size = struct.unpack_from('<H', data, at + head - 2)[0]
            yield struct.unpack_from('<%dH' % (head // 2 - 1), data, at), data[at + head:at + head + size]
            at += head + size

    def ids(raw):
        return [i for i in struct.unpack('<%dH' % (len(raw) // 2), raw) if i]

    text = lambda raw: raw.rstrip(b'\0').decode('ascii')  # noqa: E731
    strings = [(h[0], text(raw)) for h, raw in entries(0, 4)]
    dirs = [(h[0], ids(raw)) for h, raw in entries(1, 4)]
    files = [(h[0], h[1], h[3] | h[4] << 16, text(raw)) for h, raw in entries(2, 12)]
    links = [(h[0], h[2], h[3], h[4], ids(raw)) for h, raw in entries(5, 12)]
    return strings, dirs, files, links


def device_package(bindir, windows_files):
    """The device's control file and members."""
    strings, dirs, files, links = control_lists(pelorin_control())
    names = [name for _, name in PROGRAMS] + [SETUP_LIBRARY] + list(windows_files)
    processors = {processor_type(Path(bindir) / name) for name in names}
    if len(processors) != 1:
        sys.exit('the images in %s are for different processors' % bindir)
    extra = []
    if windows_files:
        string, folder = max(i for i, _ in strings) + 1, max(i for i, _ in dirs) + 1
        strings.append((string, '%%CE%d%%' % CE_WINDOWS))
        dirs.append((folder, [string]))
        number = max(n for n, _, _, _ in files)
        for name in windows_files:
            number += 1
            files.append((number, folder, FLAG_SHARED | FLAG_KEEP_NEWER | FLAG_NO_SKIP, name))
            extra.append((member_name(Path(name).stem, number), (Path(bindir) / name).read_bytes()))

    def patch(header):
        header['arch'] = processors.pop()

    control = control_file(APP, PROVIDER, strings, dirs, files, links, patch)
    members = pelorin_members(bindir, control)
    # The platform's order: the control file, the setup library, then the
    # other files by descending number.
    return members[:2] + sorted(extra, reverse=True) + members[2:]


def device_main(args):
    import argparse
    parser = argparse.ArgumentParser(prog='mkcecab.py --device')
    parser.add_argument('out')
    parser.add_argument('bindir')
    parser.add_argument('--windows', action='append', default=[], metavar='DLL')
    options = parser.parse_args(args)
    Path(options.out).write_bytes(cabinet(device_package(options.bindir, options.windows)))


def main():
    if sys.argv[1:2] == ['--device']:
        return device_main(sys.argv[2:])
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    out, bindir = sys.argv[1:]
    Path(out).write_bytes(cabinet(pelorin_members(bindir, pelorin_control())))


if __name__ == '__main__':
    main()
