# SPDX-License-Identifier: MIT
"""Schedules the demo plan: working days, a critical path pass, roll-ups.

A "boundary" b is a point between working days: b = 0 is 08:00 on the
project start; a task of d days that starts at b ends at b + d, which is
17:00 on working day b + d - 1. Tasks are scheduled as soon as their links
allow (FS, SS, FF, SF with lags in working days), then a backward pass gives
the late dates, total and free slack; a task with no total slack is critical.
"""

import datetime as dt
import uuid

from demo_plan_content import (COST_RESOURCE, GUID_NS, HOLIDAYS, MATERIAL_COST,
                               PERCENT_OVERRIDE, PROJECT_START, RES, RESOURCES,
                               STATUS_DATE, TASKS, TITLE, VACATION)


def _is_holiday(day):
    return any(a <= day <= z for a, z, _ in HOLIDAYS)


def _working_days():
    days, day = [], dt.date(2026, 7, 1)
    while day <= dt.date(2027, 9, 30):
        if day.weekday() < 5 and not _is_holiday(day):
            days.append(day)
        day += dt.timedelta(days=1)
    return days


WORKDAYS = _working_days()
ZERO = WORKDAYS.index(PROJECT_START)


def day_of(b):
    """Working day with index b (0 = project start)."""
    return WORKDAYS[ZERO + b]


def index_of(day):
    return WORKDAYS.index(day) - ZERO


def start_text(b):
    return day_of(b).isoformat() + "T08:00:00"


def finish_text(b):
    return day_of(b - 1).isoformat() + "T17:00:00"


def milestone_text(b):
    return start_text(0) if b == 0 else finish_text(b)


def hours_text(hours):
    whole = int(hours)
    minutes = int(round((hours - whole) * 60))
    return "PT%dH%dM0S" % (whole, minutes)


def guid(*parts):
    return str(uuid.uuid5(GUID_NS, "/".join(str(p) for p in parts))).upper()


LINK_TYPES = {"FF": 0, "FS": 1, "SF": 2, "SS": 3}


def parse_preds(text):
    links = []
    for item in text.split():
        key, _, rest = item.partition(":")
        kind, lag = "FS", 0
        if rest:
            kind = rest[:2]
            if len(rest) > 2:
                lag = int(rest[2:])
        links.append((key, LINK_TYPES[kind], lag))
    return links


# --------------------------------------------------------------------------
# Building the task list: IDs, UIDs, outline numbers, summaries.


def build_tasks():
    rows = []
    for level, key, name, dur, preds, opts in TASKS:
        rows.append({"level": level, "key": key, "name": name, "dur": dur,
                     "links": parse_preds(preds), "opts": opts,
                     "null": key is None, "children": []})
    # UIDs: the original rows in order; rows added after the baseline get
    # new UIDs after a gap left by two deleted tasks.
    uid = 0
    for row in rows:
        if not row["opts"].get("late"):
            uid += 1
            row["uid"] = uid
    late_uid = uid + 2
    for row in rows:
        if row["opts"].get("late"):
            late_uid += 1
            row["uid"] = late_uid
    counters, stack = [0] * 8, []
    for i, row in enumerate(rows):
        row["id"] = i + 1
        if row["null"]:
            continue
        level = row["level"]
        counters[level - 1] += 1
        for deeper in range(level, 8):
            counters[deeper] = 0
        row["outline"] = ".".join(str(c) for c in counters[:level])
        while stack and stack[-1]["level"] >= level:
            stack.pop()
        row["parent"] = stack[-1] if stack else None
        if row["parent"]:
            row["parent"]["children"].append(row)
        row["phase"] = row if level == 1 else row["parent"]["phase"]
        row["summary"] = row["dur"] is None
        stack.append(row)
    return rows


def schedule(rows, durations):
    """Forward and backward pass. Returns {key: dict(s, f, ls, lf, free)}."""
    tasks = [r for r in rows if not r["null"] and not r["summary"]]
    by_key = {r["key"]: r for r in tasks}
    sched = {}
    for r in tasks:
        d = durations[r["key"]]
        if r["opts"].get("manual"):
            s = index_of(r["opts"]["manual"])
            sched[r["key"]] = {"s": s, "f": s + d}
    changed = True
    while changed:
        changed = False
        for r in tasks:
            if r["opts"].get("manual"):
                continue
            d = durations[r["key"]]
            es = 0
            if r["opts"].get("snet"):
                es = index_of(r["opts"]["snet"])
            for key, kind, lag in r["links"]:
                p = sched.get(key)
                if p is None:
                    es = None
                    break
                es = max(es, {1: p["f"] + lag, 3: p["s"] + lag,
                              0: p["f"] + lag - d, 2: p["s"] + lag - d}[kind])
            if es is None:
                continue
            new = {"s": es, "f": es + d}
            if sched.get(r["key"]) != new:
                sched[r["key"]] = new
                changed = True
    end = max(v["f"] for k, v in sched.items() if not by_key[k]["opts"].get("manual"))
    late = {k: end for k in sched}
    for r in tasks:
        if r["opts"].get("deadline"):
            late[r["key"]] = min(end, index_of(r["opts"]["deadline"]) + 1)
    changed = True
    while changed:
        changed = False
        for r in tasks:
            d_t = durations[r["key"]]
            lf_t = late[r["key"]]
            ls_t = lf_t - d_t
            for key, kind, lag in r["links"]:
                d_p = durations[key]
                bound = {1: ls_t - lag, 3: ls_t - lag + d_p,
                         0: lf_t - lag, 2: lf_t - lag + d_p}[kind]
                if bound < late[key]:
                    late[key] = bound
                    changed = True
    free = {k: end - v["f"] for k, v in sched.items()}
    for r in tasks:
        t = sched[r["key"]]
        for key, kind, lag in r["links"]:
            p = sched[key]
            gap = {1: t["s"] - p["f"] - lag, 3: t["s"] - p["s"] - lag,
                   0: t["f"] - p["f"] - lag, 2: t["f"] - p["s"] - lag}[kind]
            free[key] = min(free[key], gap)
    for k, v in sched.items():
        manual = by_key[k]["opts"].get("manual")
        v["lf"] = v["f"] if manual else late[k]
        v["ls"] = v["lf"] - durations[k]
        v["total"] = v["ls"] - v["s"]
        v["free"] = 0 if manual else min(free[k], v["total"])
    return sched


def roll_up(rows, sched):
    """Summary start and finish from their children, bottom up."""
    out = dict(sched)
    for row in reversed(rows):
        if row["null"] or not row["summary"]:
            continue
        kids = [out[c["key"]] for c in row["children"]]
        out[row["key"]] = {"s": min(k["s"] for k in kids), "f": max(k["f"] for k in kids),
                           "total": min(k["total"] for k in kids),
                           "free": min(k["free"] for k in kids)}
        out[row["key"]]["ls"] = out[row["key"]]["s"] + out[row["key"]]["total"]
        out[row["key"]]["lf"] = out[row["key"]]["f"] + out[row["key"]]["total"]
    return out


STATUS = index_of(STATUS_DATE) + 1   # boundary after the last reported day


def percent_done(s, f):
    if f <= s:
        return 100 if s <= STATUS else 0
    frac = (STATUS - s) / (f - s)
    return max(0, min(100, int(round(frac * 100))))


class Plan:
    """Everything the writer needs, computed once."""

    def __init__(self):
        self.rows = build_tasks()
        real = [r for r in self.rows if not r["null"] and not r["summary"]]
        self.current = {r["key"]: r["dur"] for r in real}
        self.base = {r["key"]: r["opts"].get("base", r["dur"]) for r in real}
        self.tender = {k: d - next((r["opts"].get("b1", 0) for r in real if r["key"] == k), 0)
                       for k, d in self.base.items()}
        self.sched = roll_up(self.rows, schedule(self.rows, self.current))
        self.bsched = roll_up(self.rows, schedule(self.rows, self.base))
        self.tsched = roll_up(self.rows, schedule(self.rows, self.tender))
        self.by_key = {r["key"]: r for r in self.rows if not r["null"]}
        self.res_calendar = {}
        cal = 3
        for key, *_rest in RESOURCES:
            if RES[key][5] == 1 and key != COST_RESOURCE:
                cal += 1
                self.res_calendar[key] = cal
        self._assignments()
        self._progress()

    def _assignments(self):
        self.assignments = []
        for r in self.rows:
            if r["null"] or r["summary"]:
                continue
            for res, units in r["opts"].get("res", []):
                self.assignments.append({"task": r, "res": res, "units": units})
            if r["opts"].get("unassigned"):
                self.assignments.append({"task": r, "res": None, "units": 1})
        for n, a in enumerate(self.assignments, start=1):
            a["uid"] = n
            k = a["task"]["key"]
            days = self.current[k]
            a["hours"] = self.hours(a["res"], a["units"], days)
            a["base_hours"] = self.hours(a["res"], a["units"], self.base[k])
            a["cost"] = self.cost(a["res"], a["units"], a["hours"])
            a["base_cost"] = self.cost(a["res"], a["units"], a["base_hours"])
        for key, (first, last) in VACATION.items():
            for a in self.assignments:
                if a["res"] == key:
                    s = day_of(self.sched[a["task"]["key"]]["s"])
                    f = day_of(self.sched[a["task"]["key"]]["f"] - 1)
                    assert f < first or s > last, "vacation clashes with an assignment"

    @staticmethod
    def hours(res, units, days):
        if res is None or res == COST_RESOURCE:
            return 0.0
        if RES[res][5] == 0:
            return float(units)
        return units * days * 8.0

    @staticmethod
    def cost(res, units, hours):
        if res is None:
            return 0.0
        if res == COST_RESOURCE:
            return 1850.0 * units
        if RES[res][5] == 0:
            return MATERIAL_COST[res] * units
        return hours * RES[res][7]

    def _progress(self):
        for r in self.rows:
            if r["null"] or r["summary"]:
                continue
            v = self.sched[r["key"]]
            r["pct"] = PERCENT_OVERRIDE.get(r["key"], percent_done(v["s"], v["f"]))
            r["work"] = sum(a["hours"] for a in self.assignments
                            if a["task"] is r and a["res"] and RES[a["res"]][5] == 1)
            r["base_work"] = sum(a["base_hours"] for a in self.assignments
                                 if a["task"] is r and a["res"] and RES[a["res"]][5] == 1)
            r["cost"] = sum(a["cost"] for a in self.assignments if a["task"] is r)
            r["base_cost"] = sum(a["base_cost"] for a in self.assignments if a["task"] is r)
        for r in reversed(self.rows):
            if r["null"] or not r["summary"]:
                continue
            leaves = self.leaves(r)
            weight = sum(self.current[x["key"]] for x in leaves)
            done = sum(self.current[x["key"]] * x["pct"] for x in leaves)
            r["pct"] = int(done / weight) if weight else 0
            for field in ("work", "base_work", "cost", "base_cost"):
                r[field] = sum(c[field] for c in r["children"])

    def leaves(self, r):
        out = []
        for c in r["children"]:
            out.extend(self.leaves(c) if c["summary"] else [c])
        return out

    def critical(self, r):
        if r["opts"].get("manual"):
            return False
        if r["summary"]:
            return any(self.critical(c) for c in r["children"])
        return self.sched[r["key"]]["total"] == 0

    def project_row(self):
        tops = [r for r in self.rows if not r["null"] and r["level"] == 1]
        return {"key": None, "uid": 0, "id": 0, "name": TITLE, "level": 0, "outline": "0",
                "summary": True, "children": tops, "links": [], "opts": {}, "null": False,
                "pct": 0, "work": sum(t["work"] for t in tops),
                "base_work": sum(t["base_work"] for t in tops),
                "cost": sum(t["cost"] for t in tops),
                "base_cost": sum(t["base_cost"] for t in tops)}
