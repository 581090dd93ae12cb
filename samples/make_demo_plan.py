#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes samples/demo-plan.xml, the viewer's default plan.

The plan is a Microsoft Project XML export of "Harbour Terminal Expansion":
a live plan with the status date 2026-12-04, eight phases, a critical chain
from "Contract signed" to "Go-live", baselines with slips, notes, resources
and assignments. Everything here is deterministic: the same script always
writes the same bytes. Standard library only.

    python3 samples/make_demo_plan.py            # writes samples/demo-plan.xml
    python3 samples/make_demo_plan.py -o FILE    # writes FILE instead

What the plan contains is in demo_plan_content.py; demo_plan_schedule.py
schedules it over working days (Monday to Friday less the holidays), so
Start, Finish, Duration, slack and the Critical flags agree the way they do
in a real export. This file writes the XML.
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # keep samples/ free of __pycache__

from demo_plan_content import (  # noqa: E402
    AUTHOR, COMPANY, COST_RESOURCE, CURRENT_DATE, DISCIPLINES, FIELD_FLAG1, FIELD_NUMBER1,
    FIELD_OUTLINE1, FIELD_RES_TEXT1, FIELD_TEXT1, FIELD_TEXT2, HOLIDAYS, MAIL, MATERIAL_COST,
    MATERIAL_LABEL, NOTES, PERSON_EMAIL, PHASE_DISCIPLINE, PROJECT_FINISH, PROJECT_START, RES,
    RESOURCES, RESPONSIBLE, RISK_SCORE, STATUS_DATE, SYSTEM_TASKS, TITLE, VACATION)
from demo_plan_schedule import (  # noqa: E402
    STATUS, Plan, finish_text, guid, hours_text, milestone_text, start_text)

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.join(HERE, "demo-plan.xml")


# --------------------------------------------------------------------------
# XML writing.


def esc(text):
    text = str(text).replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    return text.replace("\r", "&#13;").replace("&#13;\n", "&#13;&#10;")


class Writer:
    def __init__(self):
        self.lines, self.depth = [], 0

    def open(self, tag):
        self.lines.append("\t" * self.depth + "<%s>" % tag)
        self.depth += 1

    def close(self, tag):
        self.depth -= 1
        self.lines.append("\t" * self.depth + "</%s>" % tag)

    def el(self, tag, value):
        if value is None:
            return
        if value == "":
            self.lines.append("\t" * self.depth + "<%s/>" % tag)
        else:
            self.lines.append("\t" * self.depth + "<%s>%s</%s>" % (tag, esc(value), tag))

    def text(self):
        return "\n".join(self.lines) + "\n"


def money(amount):
    return "%d" % int(round(amount * 100))


def slack_text(days):
    return "%d" % (days * 4800)


# --------------------------------------------------------------------------


def write_header(w, plan):
    w.el("SaveVersion", "14")
    w.el("BuildNumber", "16.0.18025.20030")
    w.el("Name", TITLE)
    w.el("GUID", guid("project"))
    w.el("Title", TITLE)
    w.el("Subject", "Berth 4 extension, container yard and terminal building")
    w.el("Category", "Capital works")
    w.el("Company", COMPANY)
    w.el("Manager", AUTHOR)
    w.el("Author", AUTHOR)
    w.el("CreationDate", "2026-08-14T09:12:00")
    w.el("Revision", "47")
    w.el("LastSaved", "2026-12-07T07:48:00")
    w.el("ScheduleFromStart", "1")
    w.el("StartDate", PROJECT_START.isoformat() + "T08:00:00")
    w.el("FinishDate", PROJECT_FINISH.isoformat() + "T17:00:00")
    w.el("FYStartDate", "4")
    w.el("CriticalSlackLimit", "0")
    w.el("CurrencyDigits", "2")
    w.el("CurrencySymbol", "€")
    w.el("CurrencyCode", "EUR")
    w.el("CurrencySymbolPosition", "0")
    w.el("CalendarUID", "1")
    w.el("DefaultStartTime", "08:00:00")
    w.el("DefaultFinishTime", "17:00:00")
    w.el("MinutesPerDay", "480")
    w.el("MinutesPerWeek", "2400")
    w.el("DaysPerMonth", "20")
    w.el("DefaultTaskType", "0")
    w.el("DefaultFixedCostAccrual", "3")
    w.el("DefaultStandardRate", "0")
    w.el("DefaultOvertimeRate", "0")
    w.el("DurationFormat", "7")
    w.el("WorkFormat", "2")
    w.el("EditableActualCosts", "0")
    w.el("HonorConstraints", "0")
    w.el("InsertedProjectsLikeSummary", "1")
    w.el("MultipleCriticalPaths", "0")
    w.el("NewTasksEffortDriven", "0")
    w.el("NewTasksEstimated", "1")
    w.el("SplitsInProgressTasks", "1")
    w.el("SpreadActualCost", "0")
    w.el("SpreadPercentComplete", "0")
    w.el("TaskUpdatesResource", "1")
    w.el("FiscalYearStart", "0")
    w.el("WeekStartDay", "1")
    w.el("MoveCompletedEndsBack", "0")
    w.el("MoveRemainingStartsBack", "0")
    w.el("MoveRemainingStartsForward", "0")
    w.el("MoveCompletedEndsForward", "0")
    w.el("BaselineForEarnedValue", "0")
    w.el("AutoAddNewResourcesAndTasks", "1")
    w.el("StatusDate", STATUS_DATE.isoformat() + "T17:00:00")
    w.el("CurrentDate", CURRENT_DATE.isoformat() + "T08:00:00")
    w.el("MicrosoftProjectServerURL", "1")
    w.el("Autolink", "0")
    w.el("NewTaskStartDate", "0")
    w.el("NewTasksAreManual", "0")
    w.el("DefaultTaskEVMethod", "0")
    w.el("ProjectExternallyEdited", "0")
    w.el("ExtendedCreationDate", "1984-01-01T00:00:00")
    w.el("ActualsInSync", "0")
    w.el("RemoveFileProperties", "0")
    w.el("AdminProject", "0")
    w.el("UpdateManuallyScheduledTasksWhenEditingLinks", "1")
    w.el("KeepTaskOnNearestWorkingTimeWhenMadeAutoScheduled", "0")
    write_outline_codes(w)
    w.open("WBSMasks")
    w.el("VerifyUniqueCodes", "0")
    w.el("GenerateCodes", "1")
    w.el("Prefix", "HTE-")
    w.open("WBSMask")
    for tag, value in (("Level", "1"), ("Type", "3"), ("Length", "0"), ("Separator", ".")):
        w.el(tag, value)
    w.close("WBSMask")
    w.close("WBSMasks")
    w.open("ExtendedAttributes")
    for field, name, alias in ((FIELD_TEXT1, "Text1", "Contract Package"),
                               (FIELD_TEXT2, "Text2", "Responsible Party"),
                               (FIELD_FLAG1, "Flag1", "Client Hold Point"),
                               (FIELD_NUMBER1, "Number1", "Risk Score"),
                               (FIELD_RES_TEXT1, "Text1", "Cost Centre")):
        w.open("ExtendedAttribute")
        w.el("FieldID", field)
        w.el("FieldName", name)
        w.el("Alias", alias)
        w.el("Guid", guid("field", field))
        w.el("SecondaryPID", str(255868900 + field % 97))
        w.el("SecondaryGuid", guid("field2", field))
        w.close("ExtendedAttribute")
    w.close("ExtendedAttributes")


def write_outline_codes(w):
    w.open("OutlineCodes")
    w.open("OutlineCode")
    w.el("Guid", guid("outline", 1))
    w.el("FieldID", FIELD_OUTLINE1)
    w.el("FieldName", "Outline Code1")
    w.el("Alias", "Discipline")
    w.el("PhoneticAlias", "")
    w.open("Values")
    for n, (code, text) in enumerate(DISCIPLINES, start=1):
        w.open("Value")
        w.el("ValueID", n)
        w.el("FieldGUID", guid("outline-value", n))
        w.el("Type", "21")
        w.el("IsCollapsed", "0")
        w.el("Value", code)
        w.el("Description", text)
        w.close("Value")
    w.close("Values")
    for tag, value in (("Enterprise", "0"), ("EnterpriseOutlineCodeAlias", "0"),
                       ("ResourceSubstitutionEnabled", "0"), ("LeafOnly", "0"),
                       ("AllLevelsRequired", "0"), ("OnlyTableValuesAllowed", "1")):
        w.el(tag, value)
    w.open("Masks")
    w.open("Mask")
    for tag, value in (("Level", "1"), ("Type", "3"), ("Length", "0"), ("Separator", ".")):
        w.el(tag, value)
    w.close("Mask")
    w.close("Masks")
    w.close("OutlineCode")
    w.close("OutlineCodes")


def write_week(w, days):
    """days: seven entries (Sunday first), each a list of (from, to) or []."""
    for n, spans in enumerate(days, start=1):
        w.open("WeekDay")
        w.el("DayType", n)
        w.el("DayWorking", "1" if spans else "0")
        if spans:
            w.open("WorkingTimes")
            for a, b in spans:
                w.open("WorkingTime")
                w.el("FromTime", a)
                w.el("ToTime", b)
                w.close("WorkingTime")
            w.close("WorkingTimes")
        w.close("WeekDay")


def write_exceptions(w, periods):
    if not periods:
        return
    w.open("Exceptions")
    for first, last, name in periods:
        w.open("Exception")
        w.el("EnteredByOccurrences", "0")
        w.open("TimePeriod")
        w.el("FromDate", first.isoformat() + "T00:00:00")
        w.el("ToDate", last.isoformat() + "T23:59:00")
        w.close("TimePeriod")
        w.el("Occurrences", "1")
        w.el("Name", name)
        w.el("Type", "1")
        w.el("DayWorking", "0")
        w.close("Exception")
    w.close("Exceptions")


def write_calendars(w, plan):
    day = [("08:00:00", "12:00:00"), ("13:00:00", "17:00:00")]
    night_mon = [("23:00:00", "00:00:00")]
    night = [("00:00:00", "03:00:00"), ("04:00:00", "08:00:00"), ("23:00:00", "00:00:00")]
    night_sat = [("00:00:00", "03:00:00"), ("04:00:00", "08:00:00")]
    bases = [
        (1, "Standard", [[], day, day, day, day, day, []], HOLIDAYS),
        (2, "24 Hours", [[("00:00:00", "00:00:00")]] * 7, []),
        (3, "Night Shift", [[], night_mon, night, night, night, night, night_sat], []),
    ]
    w.open("Calendars")
    for uid, name, week, holidays in bases:
        w.open("Calendar")
        w.el("UID", uid)
        w.el("GUID", guid("calendar", uid))
        w.el("Name", name)
        w.el("IsBaseCalendar", "1")
        w.el("IsBaselineCalendar", "0")
        w.el("BaseCalendarUID", "-1")
        w.open("WeekDays")
        write_week(w, week)
        for first, last, _name in holidays:
            w.open("WeekDay")
            w.el("DayType", "0")
            w.el("DayWorking", "0")
            w.open("TimePeriod")
            w.el("FromDate", first.isoformat() + "T00:00:00")
            w.el("ToDate", last.isoformat() + "T23:59:00")
            w.close("TimePeriod")
            w.close("WeekDay")
        w.close("WeekDays")
        write_exceptions(w, holidays)
        w.close("Calendar")
    for key, uid in plan.res_calendar.items():
        w.open("Calendar")
        w.el("UID", uid)
        w.el("GUID", guid("calendar", uid))
        w.el("Name", RES[key][2])
        w.el("IsBaseCalendar", "0")
        w.el("IsBaselineCalendar", "0")
        w.el("BaseCalendarUID", "1")
        if key in VACATION:
            first, last = VACATION[key]
            write_exceptions(w, [(first, last, "Annual leave")])
        w.close("Calendar")
    w.close("Calendars")


def dates_of(v, milestone):
    if milestone:
        return milestone_text(v["f"]), milestone_text(v["f"])
    return start_text(v["s"]), finish_text(v["f"])


def write_baseline(w, number, v, milestone, work, cost):
    start, finish = dates_of(v, milestone)
    w.open("Baseline")
    w.el("Number", number)
    w.el("Start", start)
    w.el("Finish", finish)
    w.el("Duration", hours_text((v["f"] - v["s"]) * 8))
    w.el("DurationFormat", "7")
    w.el("Work", hours_text(work))
    w.el("Cost", money(cost))
    w.close("Baseline")


def write_task(w, plan, r):
    key = r["key"]
    is_project = r["uid"] == 0
    if is_project:
        kids = [plan.sched[c["key"]] for c in r["children"]]
        v = {"s": min(k["s"] for k in kids), "f": max(k["f"] for k in kids), "total": 0,
             "free": 0, "ls": min(k["s"] for k in kids), "lf": max(k["f"] for k in kids)}
        bkids = [plan.bsched[c["key"]] for c in r["children"]]
        bv = {"s": min(k["s"] for k in bkids), "f": max(k["f"] for k in bkids)}
        leaves = [x for c in r["children"] for x in plan.leaves(c)]
        weight = sum(plan.current[x["key"]] for x in leaves)
        r["pct"] = int(sum(plan.current[x["key"]] * x["pct"] for x in leaves) / weight)
    else:
        v, bv = plan.sched[key], plan.bsched[key]
    milestone = not r["summary"] and r["dur"] == 0
    manual = bool(r["opts"].get("manual"))
    late = bool(r["opts"].get("late"))
    critical = plan.critical(r) if not is_project else True
    start, finish = dates_of(v, milestone)
    days = v["f"] - v["s"]
    pct = r["pct"]
    created = "2026-10-21T14:05:00" if late else "2026-08-14T09:%02d:00" % (12 + r["id"] % 40)
    w.open("Task")
    w.el("UID", r["uid"])
    w.el("GUID", guid("task", r["uid"]))
    w.el("ID", r["id"])
    w.el("Name", r["name"])
    w.el("Active", "1")
    w.el("Manual", "1" if manual else "0")
    w.el("Type", "1" if r["summary"] else "0")
    w.el("IsNull", "0")
    w.el("CreateDate", created)
    w.el("WBS", r["outline"] if is_project else "HTE-" + r["outline"])
    w.el("OutlineNumber", r["outline"])
    w.el("OutlineLevel", r["level"])
    w.el("Priority", "500")
    w.el("Start", start)
    w.el("Finish", finish)
    w.el("Duration", hours_text(days * 8))
    if manual:
        w.el("ManualStart", start)
        w.el("ManualFinish", finish)
        w.el("ManualDuration", hours_text(days * 8))
    w.el("DurationFormat", "7" if not r["summary"] else "21")
    w.el("Work", hours_text(r["work"]))
    if 0 < pct < 100 and not r["summary"]:
        w.el("Stop", finish_text(STATUS))
        w.el("Resume", start_text(STATUS))
    w.el("OverAllocated", "0")
    w.el("Milestone", "1" if milestone else "0")
    w.el("Summary", "1" if r["summary"] else "0")
    w.el("Critical", "1" if critical else "0")
    late_dates = dates_of({"s": v["ls"], "f": v["lf"]}, milestone)
    w.el("LateStart", late_dates[0])
    w.el("LateFinish", late_dates[1])
    w.el("StartVariance", slack_text(v["s"] - bv["s"]) if not late else "0")
    w.el("FinishVariance", slack_text(v["f"] - bv["f"]) if not late else "0")
    w.el("FreeSlack", slack_text(v["free"]))
    w.el("TotalSlack", slack_text(v["total"]))
    w.el("PercentComplete", pct)
    w.el("PercentWorkComplete", pct)
    w.el("Cost", money(r["cost"]))
    if pct > 0:
        w.el("ActualStart", start)
    if pct == 100:
        w.el("ActualFinish", finish)
    w.el("ActualWork", hours_text(r["work"] * pct / 100.0))
    snet = r["opts"].get("snet")
    w.el("ConstraintType", "4" if snet else "0")
    w.el("CalendarUID", "-1")
    if snet:
        w.el("ConstraintDate", snet.isoformat() + "T08:00:00")
    if r["opts"].get("deadline"):
        w.el("Deadline", r["opts"]["deadline"].isoformat() + "T17:00:00")
    if r["opts"].get("note"):
        w.el("Notes", NOTES[r["opts"]["note"]])
    for pkey, kind, lag in r["links"]:
        w.open("PredecessorLink")
        w.el("PredecessorUID", plan.by_key[pkey]["uid"])
        w.el("Type", kind)
        w.el("CrossProject", "0")
        w.el("LinkLag", lag * 4800)
        w.el("LagFormat", "7")
        w.close("PredecessorLink")
    write_task_attributes(w, r, is_project)
    if not late:
        write_baseline(w, 0, bv, milestone, r["base_work"], r["base_cost"])
        phase = r["phase"]["key"] if not is_project else None
        if phase in ("P1", "P3") and not manual:
            write_baseline(w, 1, plan.tsched[key], milestone, r["base_work"], r["base_cost"])
    w.close("Task")


def write_task_attributes(w, r, is_project):
    if is_project:
        return
    phase = r["phase"]
    pkg = r["opts"].get("pkg")
    node = r
    while pkg is None and node is not None:
        node = node.get("parent")
        pkg = node["opts"].get("pkg") if node else None
    values = [(FIELD_TEXT1, pkg), (FIELD_TEXT2, RESPONSIBLE[phase["key"]])]
    if r["opts"].get("hold"):
        values.append((FIELD_FLAG1, "1"))
    if r["key"] in RISK_SCORE:
        values.append((FIELD_NUMBER1, str(RISK_SCORE[r["key"]])))
    for field, value in values:
        w.open("ExtendedAttribute")
        w.el("FieldID", field)
        w.el("Value", value)
        w.close("ExtendedAttribute")
    discipline = 7 if r["key"] in SYSTEM_TASKS else PHASE_DISCIPLINE[phase["key"]]
    w.open("OutlineCode")
    w.el("FieldID", FIELD_OUTLINE1)
    w.el("ValueID", discipline)
    w.close("OutlineCode")


def write_tasks(w, plan):
    w.open("Tasks")
    write_task(w, plan, plan.project_row())
    for r in plan.rows:
        if r["null"]:
            w.open("Task")
            w.el("UID", r["uid"])
            w.el("ID", r["id"])
            w.el("IsNull", "1")
            w.close("Task")
        else:
            write_task(w, plan, r)
    w.close("Tasks")


def write_resources(w, plan):
    w.open("Resources")
    w.open("Resource")
    w.el("UID", "0")
    w.el("GUID", guid("resource", 0))
    w.el("ID", "0")
    w.el("Type", "1")
    w.el("IsNull", "0")
    w.el("WorkGroup", "0")
    w.el("MaxUnits", "1.00")
    w.el("PeakUnits", "0.00")
    w.el("OverAllocated", "0")
    w.el("CanLevel", "0")
    w.el("AccrueAt", "3")
    w.el("Work", "PT0H0M0S")
    w.el("StandardRate", "0")
    w.el("StandardRateFormat", "2")
    w.el("Cost", "0")
    w.el("CalendarUID", "-1")
    w.el("IsGeneric", "0")
    w.el("IsInactive", "0")
    w.el("IsEnterprise", "0")
    w.el("CreationDate", "2026-08-14T09:12:00")
    w.el("IsCostResource", "0")
    w.el("IsBudget", "0")
    w.close("Resource")
    for key, uid, name, initials, group, rtype, max_units, rate, centre in RESOURCES:
        mine = [a for a in plan.assignments if a["res"] == key]
        work = sum(a["hours"] for a in mine) if rtype == 1 else 0.0
        actual = sum(a["hours"] * a["task"]["pct"] / 100.0 for a in mine) if rtype == 1 else 0.0
        cost = sum(a["cost"] for a in mine)
        actual_cost = sum(a["cost"] * a["task"]["pct"] / 100.0 for a in mine)
        base_work = sum(a["base_hours"] for a in mine) if rtype == 1 else 0.0
        base_cost = sum(a["base_cost"] for a in mine)
        is_cost = key == COST_RESOURCE
        w.open("Resource")
        w.el("UID", uid)
        w.el("GUID", guid("resource", uid))
        w.el("ID", uid)
        w.el("Name", name)
        w.el("Type", rtype)
        w.el("IsNull", "0")
        w.el("Initials", initials)
        w.el("Group", group)
        if key in PERSON_EMAIL:
            w.el("EmailAddress", "%s@%s" % (PERSON_EMAIL[key], MAIL))
        w.el("WorkGroup", "0")
        if key in MATERIAL_LABEL:
            w.el("MaterialLabel", MATERIAL_LABEL[key])
        w.el("MaxUnits", "%.2f" % max_units)
        w.el("PeakUnits", "%.2f" % max((a["units"] for a in mine), default=0))
        w.el("OverAllocated", "0")
        w.el("CanLevel", "1")
        w.el("AccrueAt", "3")
        w.el("Work", hours_text(work))
        w.el("ActualWork", hours_text(actual))
        w.el("RemainingWork", hours_text(work - actual))
        w.el("PercentWorkComplete", int(100 * actual / work) if work else 0)
        w.el("StandardRate", rate)
        w.el("StandardRateFormat", "5" if rtype == 0 else "2")
        w.el("Cost", money(cost))
        w.el("OvertimeRate", "0")
        w.el("OvertimeRateFormat", "2")
        w.el("CostPerUse", money(MATERIAL_COST.get(key, 0)))
        w.el("ActualCost", money(actual_cost))
        w.el("RemainingCost", money(cost - actual_cost))
        w.el("WorkVariance", "%.2f" % ((work - base_work) * 60000))
        w.el("CostVariance", money(cost - base_cost))
        w.el("CalendarUID", plan.res_calendar.get(key, -1))
        w.el("IsGeneric", "1" if group in ("Contractors", "Suppliers") else "0")
        w.el("IsInactive", "0")
        w.el("IsEnterprise", "0")
        w.el("CreationDate", "2026-08-14T10:%02d:00" % (uid * 2))
        w.el("IsCostResource", "1" if is_cost else "0")
        w.el("IsBudget", "0")
        w.open("ExtendedAttribute")
        w.el("FieldID", FIELD_RES_TEXT1)
        w.el("Value", centre)
        w.close("ExtendedAttribute")
        w.open("Baseline")
        w.el("Number", "0")
        w.el("Work", hours_text(base_work))
        w.el("Cost", money(base_cost))
        w.close("Baseline")
        if not is_cost:
            w.open("Rates")
            w.open("Rate")
            w.el("RatesFrom", "1984-01-01T00:00:00")
            w.el("RatesTo", "2049-12-31T23:59:00")
            w.el("RateTable", "0")
            w.el("StandardRate", rate)
            w.el("StandardRateFormat", "5" if rtype == 0 else "2")
            w.el("OvertimeRate", "0")
            w.el("OvertimeRateFormat", "2")
            w.el("CostPerUse", money(MATERIAL_COST.get(key, 0)))
            w.close("Rate")
            w.close("Rates")
        w.close("Resource")
    w.close("Resources")


def write_timephased(w, uid, kind, s, f, hours):
    w.open("TimephasedData")
    w.el("Type", kind)
    w.el("UID", uid)
    w.el("Start", start_text(s))
    w.el("Finish", finish_text(f))
    w.el("Unit", "2")
    w.el("Value", hours_text(hours))
    w.close("TimephasedData")


def write_assignments(w, plan):
    w.open("Assignments")
    for a in plan.assignments:
        r, res = a["task"], a["res"]
        v, bv = plan.sched[r["key"]], plan.bsched[r["key"]]
        milestone = r["dur"] == 0
        start, finish = dates_of(v, milestone)
        pct = r["pct"]
        work_like = res is None or (res != COST_RESOURCE and RES[res][5] == 1)
        actual = a["hours"] * pct / 100.0
        late = bool(r["opts"].get("late"))
        w.open("Assignment")
        w.el("UID", a["uid"])
        w.el("TaskUID", r["uid"])
        w.el("ResourceUID", -65535 if res is None else RES[res][1])
        w.el("PercentWorkComplete", pct)
        w.el("ActualCost", money(a["cost"] * pct / 100.0))
        if pct == 100:
            w.el("ActualFinish", finish)
        if pct > 0:
            w.el("ActualStart", start)
        w.el("ActualWork", hours_text(actual))
        w.el("Cost", money(a["cost"]))
        w.el("Finish", finish)
        w.el("Milestone", "1" if milestone else "0")
        w.el("RemainingCost", money(a["cost"] * (100 - pct) / 100.0))
        w.el("RemainingWork", hours_text(a["hours"] - actual))
        w.el("Start", start)
        if 0 < pct < 100:
            w.el("Stop", finish_text(STATUS))
            w.el("Resume", start_text(STATUS))
        w.el("Units", "%g" % a["units"])
        w.el("Work", hours_text(a["hours"]))
        w.el("WorkContour", "0")
        if not late:
            bstart, bfinish = dates_of(bv, milestone)
            w.open("Baseline")
            w.el("Number", "0")
            w.el("Start", bstart)
            w.el("Finish", bfinish)
            w.el("Work", hours_text(a["base_hours"]))
            w.el("Cost", money(a["base_cost"]))
            w.close("Baseline")
        if work_like and not milestone:
            split = min(max(STATUS, v["s"]), v["f"])
            per_day = a["hours"] / max(1, v["f"] - v["s"])
            if split > v["s"]:
                write_timephased(w, a["uid"], 2, v["s"], split, per_day * (split - v["s"]))
            if split < v["f"]:
                write_timephased(w, a["uid"], 1, split, v["f"], per_day * (v["f"] - split))
        w.close("Assignment")
    w.close("Assignments")


def render():
    plan = Plan()
    w = Writer()
    w.lines.append('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>')
    w.lines.append('<Project xmlns="http://schemas.microsoft.com/project">')
    w.depth = 1
    write_header(w, plan)
    write_calendars(w, plan)
    write_tasks(w, plan)
    write_resources(w, plan)
    write_assignments(w, plan)
    w.depth = 0
    w.lines.append("</Project>")
    return w.text(), plan


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-o", "--output", default=DEFAULT_OUT)
    args = parser.parse_args(argv)
    text, _plan = render()
    with open(args.output, "w", encoding="utf-8", newline="\n") as out:
        out.write(text)
    print("wrote %s (%d bytes)" % (args.output, len(text.encode("utf-8"))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
