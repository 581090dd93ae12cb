#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks samples/demo-plan.xml on its own, without the generator.

    python3 samples/check_demo_plan.py [FILE]

Reads the plan with the standard library's XML parser and checks that it is
a sound Microsoft Project XML export for the viewer's default plan: unique
UIDs, links to existing tasks, dates that parse with Finish not before
Start, durations that match the working days of the Standard calendar,
summaries that span their children, a critical chain joined by FS links,
the counts the demo needs, and assignments that point at real tasks and
resources. It then lists the INFO and WARNING messages the viewer's loader
gives for the plan, worked out from the file by the loader's rules.
Exit code 0 when every check passes, 1 otherwise.
"""

import datetime as dt
import os
import re
import sys
import xml.etree.ElementTree as ET

NS = "{http://schemas.microsoft.com/project}"
HERE = os.path.dirname(os.path.abspath(__file__))
TODAY = dt.date(2026, 12, 7)
FAILURES = []
PASSED = [0]


def check(ok, text):
    if ok:
        PASSED[0] += 1
    else:
        FAILURES.append(text)
    return ok


def kid(el, name):
    found = el.find(NS + name)
    return None if found is None else (found.text or "")


def kids(el, name):
    return el.findall(NS + name)


def integer(text):
    m = re.match(r"[ \t]*([+-]?\d+)", text or "")
    return int(m.group(1)) if m else 0


def iso_date(text):
    """The viewer's reading: the first ten characters, YYYY-MM-DD."""
    text = (text or "").strip(" ")[:10]
    if len(text) != 10 or text[4] != "-" or text[7] != "-":
        return None
    try:
        day = dt.date(int(text[:4]), int(text[5:7]), int(text[8:10]))
    except ValueError:
        return None
    return day if day.year >= 1601 else None


def duration_hours(text):
    m = re.fullmatch(r"PT(\d+)H(\d+)M(\d+)S", text or "")
    if not m:
        return None
    return int(m.group(1)) + int(m.group(2)) / 60 + int(m.group(3)) / 3600


class Calendar:
    def __init__(self, cal):
        self.working = {}
        for wd in kids(kids(cal, "WeekDays")[0], "WeekDay"):
            kind = integer(kid(wd, "DayType"))
            if kind >= 1:
                self.working[kind] = kid(wd, "DayWorking") == "1"
        self.off = []
        for ex in kids(kids(cal, "Exceptions")[0], "Exception"):
            period = kids(ex, "TimePeriod")[0]
            self.off.append((iso_date(kid(period, "FromDate")), iso_date(kid(period, "ToDate"))))

    def works(self, day):
        day_type = (day.weekday() + 1) % 7 + 1          # Sunday 1 ... Saturday 7
        return self.working[day_type] and not any(a <= day <= b for a, b in self.off)

    def days_between(self, first, last):
        n, day = 0, first
        while day <= last:
            n += self.works(day)
            day += dt.timedelta(days=1)
        return n


def load(path):
    with open(path, "rb") as f:
        raw = f.read()
    check(raw.startswith(b'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'),
          "the XML declaration is not the export's")
    raw.decode("utf-8")
    root = ET.fromstring(raw)
    check(root.tag == NS + "Project", "root element is not Project in the project namespace")
    return root, len(raw)


def read_tasks(root):
    tasks, nulls, uids = [], [], []
    for task in kids(kids(root, "Tasks")[0], "Task"):
        uid = integer(kid(task, "UID"))
        uids.append(uid)
        if kid(task, "IsNull") == "1":
            nulls.append(uid)
            continue
        t = {"el": task, "uid": uid, "id": integer(kid(task, "ID")), "name": kid(task, "Name"),
             "level": integer(kid(task, "OutlineLevel")), "outline": kid(task, "OutlineNumber"),
             "summary": kid(task, "Summary") == "1", "milestone": kid(task, "Milestone") == "1",
             "critical": kid(task, "Critical") == "1", "manual": kid(task, "Manual") == "1",
             "start": iso_date(kid(task, "Start")), "finish": iso_date(kid(task, "Finish")),
             "hours": duration_hours(kid(task, "Duration")),
             "pct": integer(kid(task, "PercentComplete")),
             "slack": float(kid(task, "TotalSlack") or 0) / 600.0,
             "notes": kid(task, "Notes") or "", "base": {}, "links": []}
        for b in kids(task, "Baseline"):
            t["base"][integer(kid(b, "Number"))] = (iso_date(kid(b, "Start")),
                                                    iso_date(kid(b, "Finish")))
        for link in kids(task, "PredecessorLink"):
            check(all(kid(link, n) is not None for n in ("CrossProject", "LinkLag", "LagFormat")),
                  "task %d: a link lacks CrossProject, LinkLag or LagFormat" % uid)
            t["links"].append((integer(kid(link, "PredecessorUID")), integer(kid(link, "Type"))))
        tasks.append(t)
    return tasks, nulls, uids


def check_tasks(root, tasks, nulls, uids, cal, start, finish):
    check(len(uids) == len(set(uids)), "task UIDs are not unique")
    ids = [integer(kid(t, "ID")) for t in kids(kids(root, "Tasks")[0], "Task")]
    check(ids == list(range(len(ids))), "task IDs do not run 0, 1, 2, ... in file order")
    check(len(nulls) == 1, "there should be one empty placeholder row")
    first = tasks[0]
    check(first["uid"] == 0 and first["level"] == 0 and first["summary"],
          "the first task is not the UID 0 project summary row")
    real = [t for t in tasks if t["uid"] >= 1]
    check(60 <= len(real) <= 150, "%d tasks, not 60 to 150" % len(real))
    by_uid = {t["uid"]: t for t in real}
    for t in tasks:
        label = "task %d" % t["uid"]
        if not check(t["start"] and t["finish"], label + ": Start or Finish does not parse"):
            continue
        check(t["finish"] >= t["start"], label + ": Finish before Start")
        check(t["hours"] is not None, label + ": Duration does not parse")
        if t["milestone"]:
            check(t["hours"] == 0 and t["start"] == t["finish"], label + ": milestone not zero")
        elif t["hours"] is not None:
            days = cal.days_between(t["start"], t["finish"])
            check(t["hours"] == days * 8, label + ": Duration %s h but %d working days"
                  % (t["hours"], days))
        for puid, kind in t["links"]:
            check(puid in by_uid, label + ": predecessor %d does not exist" % puid)
            check(0 <= kind <= 3, label + ": link type %d" % kind)
    # Outline: summaries are the rows followed by deeper rows and span them.
    for i, t in enumerate(tasks):
        below = []
        for u in tasks[i + 1:]:
            if u["level"] <= t["level"]:
                break
            below.append(u)
        check(t["summary"] == bool(below), "task %d: Summary flag and outline disagree" % t["uid"])
        if below and t["start"]:
            check(t["start"] == min(u["start"] for u in below) and
                  t["finish"] == max(u["finish"] for u in below),
                  "task %d: summary does not span its children" % t["uid"])
        if t["uid"] > 0 and i + 1 < len(tasks) and tasks[i + 1]["level"] > t["level"]:
            check(tasks[i + 1]["outline"] == t["outline"] + ".1",
                  "task %d: outline number of its first child" % t["uid"])
    levels = {(t["level"], t["summary"]) for t in real}
    check(sum(1 for t in real if t["level"] == 1 and t["summary"]) >= 5, "fewer than 5 phases")
    check((2, True) in levels and (3, True) in levels, "no level 2 and 3 summaries")
    check((4, False) in levels, "no level 4 tasks")
    check(sum(t["milestone"] for t in real) >= 5, "fewer than 5 milestones")
    kinds = {k for t in real for _, k in t["links"]}
    check(kinds == {0, 1, 2, 3}, "not all four link types are used: %s" % sorted(kinds))
    check_critical(real, by_uid)
    check_progress(real)
    check_baselines(real)
    notes = [t for t in real if t["notes"]]
    check(6 <= len(notes) <= 12, "%d tasks with notes" % len(notes))
    check(any("\r\n" in t["notes"] for t in notes) and any("\n" in t["notes"] for t in notes),
          "no multi-line note")
    outside = [t for t in real if t["start"] < start or t["finish"] > finish]
    check(outside, "no task outside the project dates")
    for t in outside:
        gap = max((start - t["start"]).days, (t["finish"] - finish).days)
        check(gap <= 14, "task %d lies %d days outside the project" % (t["uid"], gap))
    return real, by_uid


def check_critical(real, by_uid):
    crit = [t for t in real if t["critical"] and not t["summary"]]
    check(crit and len(crit) < len(real), "the critical tasks are none or all")
    names = {t["uid"] for t in crit}
    for t in crit:
        check(t["slack"] == 0, "critical task %d has slack" % t["uid"])
    fs_pred = {t["uid"]: [p for p, k in t["links"] if k == 1 and p in names] for t in crit}
    fs_succ = {u: [t["uid"] for t in crit if u in fs_pred[t["uid"]]] for u in names}
    heads = [u for u in names if not fs_pred[u]]
    tails = [u for u in names if not fs_succ[u]]
    check(len(heads) == 1 and len(tails) == 1,
          "critical chain has %d starts and %d ends" % (len(heads), len(tails)))
    if heads and tails:
        head, tail = by_uid[heads[0]], by_uid[tails[0]]
        plain = [t for t in real if not t["manual"] and not t["summary"]]
        earliest = min(t["start"] for t in plain)
        latest = max(t["finish"] for t in plain)
        check(head["start"] == earliest and tail["finish"] == latest,
              "critical chain does not run from the start to the finish")
    for t in crit:
        for p, k in t["links"]:
            if p in names:
                check(k == 1, "critical task %d has a non-FS critical link" % t["uid"])


def check_progress(real):
    leaves = [t for t in real if not t["summary"]]
    check(any(t["pct"] == 100 for t in leaves), "no task complete")
    check(any(0 < t["pct"] < 100 for t in leaves), "no task in progress")
    check(any(t["pct"] == 0 for t in leaves), "no task not started")
    for t in leaves:
        if t["finish"] < TODAY - dt.timedelta(days=3):
            check(t["pct"] == 100, "task %d finished in the past but is not complete" % t["uid"])
        if t["start"] >= TODAY:
            check(t["pct"] == 0, "task %d starts in the future but has progress" % t["uid"])


def check_baselines(real):
    based = [t for t in real if 0 in t["base"]]
    check(len(based) >= len(real) * 0.8, "too few tasks with a baseline")
    check(any(1 in t["base"] for t in real), "no task with baseline 1")
    slips = [t for t in based if t["finish"] > t["base"][0][1]]
    ahead = [t for t in based if t["finish"] < t["base"][0][1]]
    check(len(slips) >= 3 and len(ahead) >= 1, "slips %d, ahead %d" % (len(slips), len(ahead)))
    for t in based:
        s, f = t["base"][0]
        check(s and f and f >= s, "task %d: baseline dates" % t["uid"])


def check_resources(root, by_uid):
    res = kids(kids(root, "Resources")[0], "Resource")
    uids = [integer(kid(r, "UID")) for r in res]
    check(len(uids) == len(set(uids)), "resource UIDs are not unique")
    check(uids[0] == 0, "the first resource is not the UID 0 placeholder")
    check(12 <= len(res) <= 20, "%d resources" % len(res))
    named = {integer(kid(r, "UID")): r for r in res if integer(kid(r, "UID")) > 0}
    check(any(kid(r, "Type") == "0" and kid(r, "MaterialLabel") for r in named.values()),
          "no material resource with a label")
    check(any(kid(r, "IsCostResource") == "1" for r in named.values()), "no cost resource")
    units = {kid(r, "MaxUnits") for r in named.values()}
    check({"0.50", "0.80", "1.00"} <= units, "MaxUnits lack 0.5, 0.8 or 1.0")
    assignments = kids(kids(root, "Assignments")[0], "Assignment")
    a_uids = [integer(kid(a, "UID")) for a in assignments]
    check(len(a_uids) == len(set(a_uids)), "assignment UIDs are not unique")
    per_task = {}
    for a in assignments:
        t, r = integer(kid(a, "TaskUID")), integer(kid(a, "ResourceUID"))
        check(t in by_uid, "assignment to missing task %d" % t)
        check(r in named or r == -65535, "assignment to missing resource %d" % r)
        check(all(kid(a, n) for n in ("Work", "Start", "Finish")), "assignment lacks dates or work")
        if r > 0:
            per_task.setdefault(t, []).append(float(kid(a, "Units")))
    check(any(len(v) >= 3 for v in per_task.values()), "no task with 3 resources")
    check(any(0.5 in v for v in per_task.values()), "no assignment at 50%")
    check(sum(1 for a in assignments if kids(a, "TimephasedData")) > len(assignments) // 2,
          "most assignments lack timephased data")
    return res, assignments, named


def viewer_messages(root, tasks, nulls, real, by_uid, res, assignments, named):
    """The loader's messages for this file, in the loader's order."""
    msgs = []
    zero_tasks = sum(1 for t in tasks if t["uid"] == 0)
    zero_res = sum(1 for r in res if integer(kid(r, "UID")) == 0)
    for count, text in ((len(nulls), " empty placeholder task row(s) skipped."),
                        (zero_tasks, " project summary row(s) with UID 0 skipped."),
                        (zero_res, " placeholder resource(s) with UID 0 skipped.")):
        if count:
            msgs.append(("INFO", "%d%s" % (count, text)))
    unresolved = sum(1 for t in real for p, _ in t["links"] if p not in by_uid)
    if unresolved:
        msgs.append(("WARNING", "%d dependency link(s) reference a predecessor UID that does "
                                "not exist; those links are not drawn." % unresolved))
    crit = [t for t in real if t["critical"]]
    driving = 0
    for t in crit:
        best = 0
        for p, kind in t["links"]:
            q = by_uid.get(p)
            if q is None or not q["critical"]:
                continue
            day = {0: q["finish"], 1: q["finish"] + dt.timedelta(days=1)}.get(kind, q["start"])
            if best == 0 or day > best:
                best = day
        driving += best != 0
    notes = sum(1 for t in real if t["notes"])
    if notes:
        msgs.append(("INFO", "%d task(s) carry a note from the plan; the details window shows "
                             "it in full." % notes))
    based = sum(1 for t in real if 0 in t["base"] and all(t["base"][0]))
    msgs.append(("INFO", "%d task(s) carry a baseline; the grey bar shows the approved dates."
                 % based))
    msgs.append(("INFO", "%d task(s) on the critical path, %d driving link(s) highlighted."
                 % (len(crit), driving)))
    start = iso_date(kid(root, "StartDate"))
    finish = iso_date(kid(root, "FinishDate"))
    outside = [t for t in real if t["start"] < start or t["finish"] > finish]
    if outside:
        msgs.append(("INFO", "%d task(s) fall outside the declared project dates; timeline "
                             "extended to cover them." % len(outside)))
    for r in named.values():
        if integer(kid(r, "Type")) not in (0, 1):
            msgs.append(("WARNING", "Resource %s: unknown type; displayed as work."
                         % kid(r, "UID")))
    loose = sum(1 for a in assignments if integer(kid(a, "ResourceUID")) < 1)
    if loose:
        msgs.append(("INFO", "%d assignment(s) carry no resource reference; no resource labels "
                             "were built from them." % loose))
    return msgs


def main(argv):
    path = argv[0] if argv else os.path.join(HERE, "demo-plan.xml")
    root, size = load(path)
    check(150_000 <= size <= 400_000, "file size %d bytes" % size)
    for name in ("SaveVersion", "Name", "Title", "Company", "Author", "CreationDate", "LastSaved",
                 "ScheduleFromStart", "StartDate", "FinishDate", "CurrencyCode",
                 "DefaultStartTime", "MinutesPerDay", "CalendarUID"):
        check(kid(root, name), "header element %s missing" % name)
    for name in ("Calendars", "ExtendedAttributes", "OutlineCodes"):
        check(kids(root, name), "%s missing" % name)
    standard = [c for c in kids(kids(root, "Calendars")[0], "Calendar")
                if kid(c, "UID") == kid(root, "CalendarUID")][0]
    cal = Calendar(standard)
    start, finish = iso_date(kid(root, "StartDate")), iso_date(kid(root, "FinishDate"))
    check(start and finish and start < TODAY < finish, "today is not inside the project")
    tasks, nulls, uids = read_tasks(root)
    real, by_uid = check_tasks(root, tasks, nulls, uids, cal, start, finish)
    res, assignments, named = check_resources(root, by_uid)
    text = ET.tostring(root, encoding="unicode")
    check(re.search(r"[^\x00-\x7f]", text), "no non-ASCII text")
    phases = [t["name"] for t in real if t["level"] == 1]
    print("%s: %d bytes, %d tasks (+ UID 0 row, %d empty row), %d phases, %d resources "
          "(+ UID 0 row), %d assignments" % (os.path.basename(path), size, len(real),
                                            len(nulls), len(phases), len(named),
                                            len(assignments)))
    print("phases: " + "; ".join(phases))
    chain = [t for t in real if t["critical"] and not t["summary"]]
    print("critical chain: " + " -> ".join(t["name"] for t in chain))
    based = [t for t in real if 0 in t["base"]]
    late = [t for t in based if t["finish"] > t["base"][0][1]]
    early = [t for t in based if t["finish"] < t["base"][0][1]]
    print("against baseline 0: %d finish later, %d earlier (%s)"
          % (len(late), len(early), ", ".join(t["name"] for t in early)))
    kinds = {}
    for t in real:
        for _, k in t["links"]:
            kinds[k] = kinds.get(k, 0) + 1
    print("links: " + ", ".join("%s %d" % (n, kinds.get(k, 0))
                                for k, n in ((1, "FS"), (3, "SS"), (0, "FF"), (2, "SF"))))
    print("expected load messages:")
    for level, text in viewer_messages(root, tasks, nulls, real, by_uid, res, assignments, named):
        print("  %-7s %s" % (level, text))
    for f in FAILURES:
        print("FAIL: " + f)
    print("%d passed, %d failed" % (PASSED[0], len(FAILURES)))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
