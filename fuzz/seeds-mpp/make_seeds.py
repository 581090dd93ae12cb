#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Writes the structure seeds of nerin-fuzz-mpp: small binary plans made from nothing (no sample
# is copied) that hold the structures the reader reads beyond tasks and links, each with the
# damage the reader must name: a calendar based on itself, an exception list claiming a
# million entries, a custom-field list claiming more than its block, a record shorter than its
# layout, an MPP9 block of further fields pointing past its end.
import struct
import sys
from pathlib import Path

MAGIC = struct.pack('<I', 0xFADFADBA)


def compound_file(streams):
    """streams: {'a/b/c': bytes}; every stream small, in the mini stream."""
    # Directory tree: storages from the paths, children chained through their right sibling.
    entries = [{'name': 'Root Entry', 'type': 5, 'children': [], 'data': b''}]
    index = {'': 0}
    for path, data in streams.items():
        parts = path.split('/')
        for depth in range(len(parts)):
            key = '/'.join(parts[:depth + 1])
            if key in index:
                continue
            parent = index['/'.join(parts[:depth])]
            kind = 2 if depth == len(parts) - 1 else 1
            index[key] = len(entries)
            entries[parent]['children'].append(len(entries))
            entries.append({'name': parts[depth], 'type': kind, 'children': [], 'data': data if kind == 2 else b''})
    mini = b''
    minifat = []
    for e in entries:
        if e['type'] != 2:
            continue
        e['start'] = len(mini) // 64 if e['data'] else 0xFFFFFFFE
        count = (len(e['data']) + 63) // 64
        for i in range(count):
            minifat.append(e['start'] + i + 1 if i + 1 < count else 0xFFFFFFFE)
        mini += e['data'] + b'\0' * (count * 64 - len(e['data']))
    sectors = []  # (kind, bytes)

    def add(data):
        first = len(sectors)
        n = max(1, (len(data) + 511) // 512)
        for i in range(n):
            sectors.append(data[i * 512:(i + 1) * 512].ljust(512, b'\0'))
        return first, n

    minifat_bytes = b''.join(struct.pack('<I', v) for v in minifat) or struct.pack('<I', 0xFFFFFFFE)
    chains = []
    mf_first, mf_n = add(minifat_bytes)
    chains.append((mf_first, mf_n))
    ms_first, ms_n = add(mini or b'\0')
    chains.append((ms_first, ms_n))
    directory = b''
    for i, e in enumerate(entries):
        name = e['name'].encode('utf-16le') + b'\0\0'
        child = e['children'][0] if e['children'] else 0xFFFFFFFF
        right = 0xFFFFFFFF
        for sibling_list in (x['children'] for x in entries):
            if i in sibling_list and sibling_list.index(i) + 1 < len(sibling_list):
                right = sibling_list[sibling_list.index(i) + 1]
        start = ms_first if e['type'] == 5 else e.get('start', 0)
        size = len(mini) if e['type'] == 5 else len(e['data'])
        directory += (name.ljust(64, b'\0') + struct.pack('<HBB', len(name), e['type'], 1) +
                      struct.pack('<III', 0xFFFFFFFF, right, child) + b'\0' * 36 + struct.pack('<IQ', start, size))
    dir_first, dir_n = add(directory)
    chains.append((dir_first, dir_n))
    fat_first = len(sectors)
    fat = [0xFFFFFFFF] * 128
    for first, n in chains:
        for i in range(n):
            fat[first + i] = first + i + 1 if i + 1 < n else 0xFFFFFFFE
    fat[fat_first] = 0xFFFFFFFD
    sectors.append(b''.join(struct.pack('<I', v) for v in fat))
    header = (b'\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1' + b'\0' * 16 + struct.pack('<HHHHH', 0x3E, 3, 0xFFFE, 9, 6) +
              b'\0' * 10 + struct.pack('<IIIIIIII', 1, dir_first, 0, 4096, mf_first, mf_n, 0xFFFFFFFE, 0) +
              struct.pack('<I', fat_first) + b'\xFF' * (436 - 4))
    return header + b''.join(sectors)


def props(values):
    body = b''
    for key, value in values.items():
        body += struct.pack('<iII', len(value), key, 0) + value + (b'\0' if len(value) % 2 else b'')
    return struct.pack('<IIIHH', 0, 0, 0, len(values), 0) + body


def map_entry(entity, field, offset, category=3, size=4):
    return struct.pack('<IHBBBBBB', 0, offset, 0, 0, 0x0A, 0, 0, 0) + struct.pack('<HH', field, entity) + \
        struct.pack('<IHHI', 0, category, size, 0)


def table(items=b'', count=0, data=b'', var_meta=None, var_data=b''):
    out = {'FixedMeta': MAGIC + struct.pack('<III', 0, count, 0) + items, 'FixedData': data}
    if var_meta is not None:
        out['VarMeta'] = MAGIC + struct.pack('<IIIII', 0, len(var_meta) // 12, 0, 0, len(var_data)) + var_meta
        out['Var2Data'] = var_data
    return out


def plan(generation, extra_props=None, calendars=None, tasks=None):
    digits = str(generation)
    comp = struct.pack('<III', 0xFFFE0001, 0xA03, 0xFFFFFFFF) + b'\0' * 16
    for text in (b'Microsoft Project 14.0\0', b'MSProject.MPP' + digits.encode() + b'\0', b'MSProject.Project.9\0'):
        comp += struct.pack('<I', len(text)) + text
    inner = {0x00020014: map_entry(0x0B40, 86, 0), 0x00020015: map_entry(0x0C40, 27, 0),
             0x00020017: map_entry(0x0F40, 1, 4) + map_entry(0x0F40, 2, 8),
             # Project start and finish: 2016-02-08 08:00 and 17:00.
             0x02400002: struct.pack('<HH', 4800, 11727), 0x02400003: struct.pack('<HH', 10200, 11727)}
    inner.update(extra_props or {})
    streams = {'\x01CompObj': comp, 'Props' + digits: props({0x35400000: b'\0\0\0\0'}),
               '   1' + digits + '/Props': props(inner)}
    for storage, content in (('TBkndTask', tasks or table()), ('TBkndRsc', table()), ('TBkndAssn', table()),
                             ('TBkndCons', table()), ('TBkndCal', calendars)):
        if content is None:
            continue
        for name, data in content.items():
            streams['   1' + digits + '/' + storage + '/' + name] = data
    return compound_file(streams)


def calendar_table(records, hours=b''):
    items = b''.join(struct.pack('<IIH', 0, 12 * i, 0) for i in range(len(records)))
    data = b''.join(struct.pack('<iii', *r) for r in records)
    name = 'Standard\0'.encode('utf-16le')
    var_data = struct.pack('<i', len(name)) + name
    var_meta = struct.pack('<iIHH', records[0][0], 0, 1, 0x0D40)
    if hours:
        var_meta += struct.pack('<iIHH', records[0][0], len(var_data), 8, 0x0D40)
        var_data += struct.pack('<i', len(hours)) + hours
    return table(items, len(records), data, var_meta, var_data)


def day(default=True):
    return struct.pack('<HHI', 1 if default else 0, 0, 0) + b'\0' * 52


def main(folder):
    exceptions = day() * 7 + struct.pack('<I', 1000000) + struct.pack('<HHII', 6000, 6001, 1, 1) + day(False) + \
        struct.pack('<I', 6) + b'\x02\x00\x01\x00' + b'\0' * 8 + struct.pack('<I', 4) + 'X\0'.encode('utf-16le')
    seeds = {
        'calendar-self-based': plan(14, calendars=calendar_table([(1, -1, -1), (2, 2, 1)])),
        'calendar-million-exceptions': plan(14, calendars=calendar_table([(1, -1, -1)], exceptions)),
        'calendar-short-record': plan(12, calendars=table(struct.pack('<IIH', 0, 8, 0), 1, b'\1\0\0\0\0\0\0\0\1\0')),
        'custom-field-list-past-block': plan(14, extra_props={0x024013C5: struct.pack('<III', 0, 1000000, 0x0B400033)}),
    }
    for name, data in seeds.items():
        Path(folder, name + '.seed').write_bytes(data)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
