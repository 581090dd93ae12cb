#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# nerin-cli csv read back with Python's csv module, as a spreadsheet would read the file:
# awkward names come back whole, the rows in plan order, the critical filter applied, and a
# file named with -o is the same as standard output.
import csv
import io
import os
import subprocess
import sys
import tempfile

CLI = sys.argv[1]

NAMES = ['Pour, cure &amp; strip', 'Say "go"\nthen\twait', '=SUM(A1:A9)', 'Plain']
EXPECTED_NAMES = ['Pour, cure & strip', 'Say "go"\nthen\twait', "'=SUM(A1:A9)", 'Plain']


def plan_xml():
    tasks = ''
    for uid, name in enumerate(NAMES, start=1):
        tasks += (f'<Task><UID>{uid}</UID><ID>{uid}</ID><Name>{name}</Name>'
                  f'<Start>2026-03-0{uid + 1}</Start><Finish>2026-03-1{uid}</Finish>'
                  f'<Critical>{uid % 2}</Critical></Task>')
    resources = '<Resource><UID>1</UID><Name>Crane, "big"</Name><MaxUnits>1.5</MaxUnits></Resource>'
    return ('<?xml version="1.0"?><Project xmlns="http://schemas.microsoft.com/project">'
            '<Name>CSV</Name><StartDate>2026-03-02T08:00:00</StartDate>'
            f'<Tasks>{tasks}</Tasks><Resources>{resources}</Resources></Project>')


def run(*arguments):
    result = subprocess.run([CLI, 'csv', *arguments], capture_output=True, check=False)
    if result.returncode != 0:
        raise AssertionError(f'exit {result.returncode}: {result.stderr.decode()}')
    return result.stdout


def records(data):
    return list(csv.reader(io.StringIO(data.decode('utf-8'), newline='')))


failures = []


def check(name, got, expected):
    if got != expected:
        failures.append(f'{name}: got {got!r}, expected {expected!r}')


with tempfile.TemporaryDirectory() as folder:
    plan = os.path.join(folder, 'plan.xml')
    with open(plan, 'w', encoding='utf-8') as file:
        file.write(plan_xml())
    rows = records(run(plan))
    check('header', rows[0][:5], ['ID', 'Outline', 'Task', 'Start', 'Finish'])
    check('names', [row[2] for row in rows[1:]], EXPECTED_NAMES)
    check('starts', [row[3] for row in rows[1:]], ['2026-03-02', '2026-03-03', '2026-03-04', '2026-03-05'])
    # the duration both as written and in hours; WBS, actual start and finish, % work complete
    check('width', {len(row) for row in rows}, {15})
    critical = records(run(plan, '--critical'))
    check('critical', [row[0] for row in critical[1:]], ['1', '3'])
    resources = records(run(plan, '--list', 'resources'))
    check('resources', resources[1], ['Crane, "big"', 'Material', '', '', '150', ''])
    out = os.path.join(folder, 'tasks.csv')
    run(plan, '-o', out)
    with open(out, 'rb') as file:
        check('file', file.read(), run(plan))
    check('leftovers', sorted(os.listdir(folder)), ['plan.xml', 'tasks.csv'])

for failure in failures:
    print(failure)
print(f'{8 - len(failures)} passed, {len(failures)} failed')
sys.exit(1 if failures else 0)
