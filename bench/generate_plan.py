#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes a realistic Microsoft Project XML export of any size, for tests and benchmarks.

The plan has TASKS Task elements in all (the project summary row with UID 0 included), a
nested outline of phases, summaries, work tasks and milestones, predecessor links of all
four types with lags, baselines, extended attribute values, notes, resources with calendars,
baselines and rates, and assignments with timephased data: about 6.5 KB of XML per task,
written on one line as Project does. With --lean only what the viewer reads is written (the
same outline, dates, links, baselines and notes, with resources and assignments: under 1 KB
a task), for tests that must run in seconds. The output depends only on the arguments, and
is written as it is made, so a plan of any size needs little memory.
"""

import argparse
import datetime
import random
import sys

NAMESPACE = "http://schemas.microsoft.com/project"
MINUTES_PER_DAY = 480
# Field IDs of Text1, Text2, Number1 and Flag1 in Project's numbering.
EXTENDED_FIELDS = [
    ("188743731", "Text1", "Cost centre"),
    ("188743734", "Text2", "Work package owner"),
    ("188743767", "Number1", "Risk score"),
    ("188743752", "Flag1", "Needs review"),
]
VERBS = ["Design", "Review", "Install", "Test", "Approve", "Procure", "Survey", "Draft", "Commission",
         "Inspect", "Pour", "Assemble", "Document", "Train", "Migrate", "Plan", "Estimate", "Deliver"]
OBJECTS = ["foundations", "steel frame", "façade panels", "HVAC ducts", "fire alarm", "server racks",
           "access roads", "drainage", "roof membrane", "lift shafts", "electrical riser", "data migration",
           "user acceptance", "site office", "permits & approvals", "cable trays", "piling", "glazing",
           "commissioning plan", "handover <phase 2>", "Zürich interface", "control room"]
PHASES = ["Initiation", "Design", "Procurement", "Construction", "Fit-out", "Systems", "Testing",
          "Commissioning", "Handover", "Close-out"]
FIRST_NAMES = ["Anna", "Ben", "Chloé", "Dmitri", "Eva", "Farid", "Greta", "Hiro", "Ines", "Jonas", "Kemal",
               "Lena", "Marek", "Nora", "Olaf", "Priya", "Quentin", "Rosa", "Sven", "Tomás"]
LAST_NAMES = ["Berger", "Costa", "Dubois", "Eriksen", "Fischer", "García", "Horvat", "Ivanov", "Jensen",
              "Kowalski", "Larsen", "Müller", "Novak", "Okafor", "Petrov", "Rossi", "Schmidt", "Tanaka"]
EQUIPMENT = ["Crane", "Excavator", "Concrete pump", "Scaffold set", "Generator", "Test rig"]
MATERIALS = ["Concrete", "Rebar", "Cable", "Glass", "Pipe"]
# Sentences of the long notes (--note-chars), with the kinds of text people paste into notes.
NOTE_SENTENCES = [
    "Agreed with {name} on site; the method statement is in the project folder.",
    "Depends on delivery of {object} & sign-off <before> handover.",
    "Budget: {amount} €; see the minutes of the weekly meeting.",
    "Risk: weather window for {object} is tight, keep two days of float.",
    "Inspection by the client's engineer, {name}, booked for the second week.",
    "Supplier confirmed lead times for {object} (Zürich office).",
    "Open question: access for the crane along the north side.",
]

def escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")


def stamp(day, hour=8):
    return "%04d-%02d-%02dT%02d:00:00" % (day.year, day.month, day.day, hour)


def hours(value):
    return "PT%dH0M0S" % value


MONDAY = datetime.date(2000, 1, 3)


def workday_index(day):
    """Working days (Monday to Friday) from MONDAY; a weekend day counts as the Friday before."""
    weeks, weekday = divmod((day - MONDAY).days, 7)
    return weeks * 5 + min(weekday, 4)


def workday_at(index):
    weeks, weekday = divmod(index, 5)
    return MONDAY + datetime.timedelta(days=weeks * 7 + weekday)


def add_workdays(day, count):
    """The working day `count` working days after `day`."""
    return workday_at(workday_index(day) + count)


def workdays_between(first, last):
    return workday_index(last) - workday_index(first) + 1


class Task:
    __slots__ = ("uid", "level", "outline", "name", "summary", "milestone", "start", "finish", "days",
                 "critical", "links", "percent", "notes", "children", "baselines", "attributes")


def build_outline(rng, count, project_start):
    """Tasks in file order: phases at level 1, groups below, work tasks and milestones."""
    tasks = []
    phase = 0
    phase_size = 0
    # Work moves forward so that the plan spans some months plus a few days per hundred tasks.
    step = (120 + count * 0.06) / count
    progress = 0.0
    cursor = project_start
    path = []  # outline number of the innermost open summary
    stack = []  # open summary tasks
    while len(tasks) < count:
        remaining = count - len(tasks)
        if not stack or (len(stack) == 1 and len(stack[0].children) >= phase_size):
            phase += 1
            phase_size = rng.randint(4, 9)
            path = [phase]
            task = new_task(len(tasks) + 1, 1, path, PHASES[(phase - 1) % len(PHASES)] + " phase " + str(phase))
            task.summary = True
            tasks.append(task)
            stack = [task]
            continue
        parent = stack[-1]
        level = parent.level + 1
        number = path + [len(parent.children) + 1]
        task = new_task(len(tasks) + 1, level, number, rng.choice(VERBS) + " " + rng.choice(OBJECTS))
        parent.children.append(task)
        tasks.append(task)
        if level <= 3 and remaining > 8 and rng.random() < (0.35 if level == 2 else 0.15):
            task.summary = True
            stack.append(task)
            path = number
            continue
        if rng.random() < 0.06:
            task.milestone = True
            task.name = rng.choice(OBJECTS).capitalize() + " complete"
            task.days = 0
        else:
            task.days = rng.choice([1, 1, 2, 3, 3, 5, 5, 8, 10, 15, 20])
        task.start = add_workdays(cursor, rng.randint(0, 4))
        task.finish = add_workdays(task.start, max(task.days - 1, 0))
        progress += step
        cursor = add_workdays(project_start, int(progress))
        # Close levels now and then so the outline goes up and down.
        while len(stack) > 1 and len(stack[-1].children) >= rng.randint(3, 12):
            stack.pop()
            path = path[:-1]
    # Summaries span their children; a reverse walk sees every child before its parent.
    for task in reversed(tasks):
        if task.summary:
            spans = [c for c in task.children if c.start is not None]
            if spans:
                task.start = min(c.start for c in spans)
                task.finish = max(c.finish for c in spans)
            else:
                task.start = task.finish = cursor
            task.days = workdays_between(task.start, task.finish)
    return tasks


def new_task(uid, level, number, name):
    task = Task()
    task.uid = uid
    task.level = level
    task.outline = ".".join(str(n) for n in number)
    task.name = name
    task.summary = False
    task.milestone = False
    task.start = None
    task.finish = None
    task.days = 0
    task.critical = False
    task.links = []
    task.percent = 0
    task.notes = None
    task.children = []
    task.baselines = []
    task.attributes = []
    return task


def decorate(rng, tasks, status_day):
    leaves = [t for t in tasks if not t.summary]
    for index, task in enumerate(tasks):
        task.critical = rng.random() < 0.12
        if task.finish <= status_day:
            task.percent = 100
        elif task.start <= status_day:
            task.percent = rng.choice([10, 25, 50, 60, 75, 90])
        if not task.summary and index > 3:
            for _ in range(rng.choice([0, 1, 1, 2, 2, 3, 4])):
                pred = tasks[max(0, index - rng.randint(1, 40))]
                if pred is task or pred.summary:
                    continue
                link_type = rng.choice([1, 1, 1, 1, 0, 3, 3, 2])
                lag = rng.choice([0, 0, 0, 0, 4800, 9600, -4800, 24000])
                task.links.append((pred.uid, link_type, lag))
        if rng.random() < 0.9:
            # Baseline 0 as approved: mostly on plan, some tasks slipped since, a few ahead.
            shift = rng.choice([0, 0, 0, -1, 2, 5])
            task.baselines.append((0, add_workdays(task.start, shift), add_workdays(task.finish, shift)))
            if rng.random() < 0.3:
                task.baselines.append((1, task.start, add_workdays(task.finish, rng.randint(0, 10))))
            if rng.random() < 0.05:
                task.baselines.append((2, task.start, task.finish))
        if rng.random() < 0.7:
            task.attributes.append((EXTENDED_FIELDS[0][0], "CC-%04d" % rng.randint(1, 400)))
        if rng.random() < 0.4:
            task.attributes.append((EXTENDED_FIELDS[1][0], rng.choice(FIRST_NAMES) + " " + rng.choice(LAST_NAMES)))
        if rng.random() < 0.5:
            task.attributes.append((EXTENDED_FIELDS[2][0], str(rng.randint(1, 25))))
        if rng.random() < 0.2:
            task.attributes.append((EXTENDED_FIELDS[3][0], "1"))
        if rng.random() < 0.08:
            lines = ["Agreed with %s on site." % rng.choice(FIRST_NAMES),
                     "Depends on delivery of %s & sign-off <before> handover." % rng.choice(OBJECTS),
                     "Budget: %d €; see minutes of %s." % (rng.randint(1000, 90000), stamp(task.start)[:10])]
            task.notes = "\r\n".join(lines[: rng.randint(1, 3)])
    return leaves


def write_calendar(out, uid, name, base_uid, exceptions):
    out.append("<Calendar><UID>%d</UID><Name>%s</Name><IsBaseCalendar>%d</IsBaseCalendar>"
               "<IsBaselineCalendar>0</IsBaselineCalendar><BaseCalendarUID>%d</BaseCalendarUID>"
               % (uid, escape(name), 1 if base_uid < 0 else 0, base_uid))
    if base_uid < 0:
        out.append("<WeekDays>")
        for day_type in range(1, 8):
            if day_type in (1, 7):
                out.append("<WeekDay><DayType>%d</DayType><DayWorking>0</DayWorking></WeekDay>" % day_type)
            else:
                out.append("<WeekDay><DayType>%d</DayType><DayWorking>1</DayWorking><WorkingTimes>"
                           "<WorkingTime><FromTime>08:00:00</FromTime><ToTime>12:00:00</ToTime></WorkingTime>"
                           "<WorkingTime><FromTime>13:00:00</FromTime><ToTime>17:00:00</ToTime></WorkingTime>"
                           "</WorkingTimes></WeekDay>" % day_type)
        out.append("</WeekDays>")
    if exceptions:
        out.append("<Exceptions>")
        for first, last, label in exceptions:
            out.append("<Exception><EnteredByOccurrences>0</EnteredByOccurrences><TimePeriod><FromDate>%s"
                       "</FromDate><ToDate>%s</ToDate></TimePeriod><Occurrences>1</Occurrences><Name>%s</Name>"
                       "<Type>1</Type><DayWorking>0</DayWorking></Exception>"
                       % (stamp(first, 0), stamp(last, 23).replace(":00:00", ":59:00"), escape(label)))
        out.append("</Exceptions>")
    out.append("</Calendar>")


def write_task(out, task, lean=False):
    minutes = task.days * MINUTES_PER_DAY
    start, finish = stamp(task.start), stamp(task.finish, 17 if not task.milestone else 8)
    if task.milestone:
        finish = start
    done = minutes * task.percent // 100
    slack = 0 if task.critical else 4800 * (task.uid % 7 + 1)
    if lean:
        out.append(
            "<Task><UID>%d</UID><ID>%d</ID><Name>%s</Name><IsNull>0</IsNull><OutlineNumber>%s</OutlineNumber>"
            "<OutlineLevel>%d</OutlineLevel><Start>%s</Start><Finish>%s</Finish><Duration>%s</Duration>"
            "<Milestone>%d</Milestone><Summary>%d</Summary><Critical>%d</Critical><TotalSlack>%d</TotalSlack>"
            "<PercentComplete>%d</PercentComplete>"
            % (task.uid, task.uid, escape(task.name), task.outline, task.level, start, finish,
               hours(minutes // 60), 1 if task.milestone else 0, 1 if task.summary else 0,
               1 if task.critical else 0, slack, task.percent))
        for pred_uid, link_type, lag in task.links:
            out.append("<PredecessorLink><PredecessorUID>%d</PredecessorUID><Type>%d</Type><LinkLag>%d</LinkLag>"
                       "</PredecessorLink>" % (pred_uid, link_type, lag))
        for number, first, last in task.baselines:
            out.append("<Baseline><Number>%d</Number><Start>%s</Start><Finish>%s</Finish></Baseline>"
                       % (number, stamp(first), stamp(last, 17)))
        if task.notes:
            out.append("<Notes>%s</Notes>" % escape(task.notes))
        out.append("</Task>")
        return
    out.append(
        "<Task><UID>%d</UID><ID>%d</ID><Name>%s</Name><Active>1</Active><Manual>0</Manual><Type>%d</Type>"
        "<IsNull>0</IsNull><CreateDate>2025-11-03T09:12:00</CreateDate><WBS>%s</WBS><OutlineNumber>%s"
        "</OutlineNumber><OutlineLevel>%d</OutlineLevel><Priority>500</Priority><Start>%s</Start>"
        "<Finish>%s</Finish><Duration>%s</Duration><ManualStart>%s</ManualStart><ManualFinish>%s"
        "</ManualFinish><ManualDuration>%s</ManualDuration><DurationFormat>7</DurationFormat><Work>%s</Work>"
        "<ResumeValid>0</ResumeValid><EffortDriven>%d</EffortDriven><Recurring>0</Recurring>"
        "<OverAllocated>0</OverAllocated><Estimated>0</Estimated><Milestone>%d</Milestone><Summary>%d"
        "</Summary><DisplayAsSummary>0</DisplayAsSummary><Critical>%d</Critical><IsSubproject>0"
        "</IsSubproject><IsSubprojectReadOnly>0</IsSubprojectReadOnly><ExternalTask>0</ExternalTask>"
        "<EarlyStart>%s</EarlyStart><EarlyFinish>%s</EarlyFinish><LateStart>%s</LateStart><LateFinish>%s"
        "</LateFinish><StartVariance>0</StartVariance><FinishVariance>0</FinishVariance><WorkVariance>0.00"
        "</WorkVariance><FreeSlack>0</FreeSlack><TotalSlack>%d</TotalSlack><StartSlack>%d</StartSlack>"
        "<FinishSlack>%d</FinishSlack><FixedCost>0</FixedCost><FixedCostAccrual>3</FixedCostAccrual>"
        "<PercentComplete>%d</PercentComplete><PercentWorkComplete>%d</PercentWorkComplete><Cost>%d</Cost>"
        "<OvertimeCost>0</OvertimeCost><OvertimeWork>PT0H0M0S</OvertimeWork><ActualDuration>%s"
        "</ActualDuration><ActualCost>0</ActualCost><ActualOvertimeCost>0</ActualOvertimeCost><ActualWork>%s"
        "</ActualWork><ActualOvertimeWork>PT0H0M0S</ActualOvertimeWork><RegularWork>%s</RegularWork>"
        "<RemainingDuration>%s</RemainingDuration><RemainingCost>0</RemainingCost><RemainingWork>%s"
        "</RemainingWork><RemainingOvertimeCost>0</RemainingOvertimeCost><RemainingOvertimeWork>PT0H0M0S"
        "</RemainingOvertimeWork><ACWP>0.00</ACWP><CV>0.00</CV><ConstraintType>0</ConstraintType>"
        "<CalendarUID>-1</CalendarUID><LevelAssignments>1</LevelAssignments><LevelingCanSplit>1"
        "</LevelingCanSplit><LevelingDelay>0</LevelingDelay><LevelingDelayFormat>8</LevelingDelayFormat>"
        "<IgnoreResourceCalendar>0</IgnoreResourceCalendar><HideBar>0</HideBar><Rollup>0</Rollup>"
        "<BCWS>0.00</BCWS><BCWP>0.00</BCWP><PhysicalPercentComplete>0</PhysicalPercentComplete>"
        "<EarnedValueMethod>0</EarnedValueMethod>"
        % (task.uid, task.uid, escape(task.name), 0 if task.summary else 1, task.outline, task.outline,
           task.level, start, finish, hours(minutes // 60), start, finish, hours(minutes // 60),
           hours(minutes // 60), 0 if task.summary else 1, 1 if task.milestone else 0, 1 if task.summary else 0,
           1 if task.critical else 0, start, finish, start, finish, slack, slack, slack, task.percent,
           task.percent, minutes // 6, hours(done // 60), hours(done // 60), hours(minutes // 60),
           hours((minutes - done) // 60), hours((minutes - done) // 60)))
    for pred_uid, link_type, lag in task.links:
        out.append("<PredecessorLink><PredecessorUID>%d</PredecessorUID><Type>%d</Type><CrossProject>0"
                   "</CrossProject><LinkLag>%d</LinkLag><LagFormat>7</LagFormat></PredecessorLink>"
                   % (pred_uid, link_type, lag))
    for field, value in task.attributes:
        out.append("<ExtendedAttribute><FieldID>%s</FieldID><Value>%s</Value></ExtendedAttribute>"
                   % (field, escape(value)))
    for number, first, last in task.baselines:
        days = workdays_between(first, last) if not task.milestone else 0
        out.append("<Baseline><Number>%d</Number><Interim>0</Interim><Start>%s</Start><Finish>%s</Finish>"
                   "<Duration>%s</Duration><DurationFormat>7</DurationFormat><EstimatedDuration>0"
                   "</EstimatedDuration><Work>%s</Work><Cost>%d</Cost><BCWS>0.00</BCWS><BCWP>0.00</BCWP>"
                   "</Baseline>"
                   % (number, stamp(first), stamp(last, 17), hours(days * 8), hours(days * 8), days * 400))
    if task.notes:
        out.append("<Notes>%s</Notes>" % escape(task.notes))
    out.append("<IsPublished>1</IsPublished><CommitmentType>0</CommitmentType></Task>")


def write_assignment(out, uid, task, resource_uid, units, lean=False):
    if lean:
        out.append("<Assignment><UID>%d</UID><TaskUID>%d</TaskUID><ResourceUID>%d</ResourceUID><Units>%s</Units>"
                   "</Assignment>" % (uid, task.uid, resource_uid, "%.2f" % units if units != 1 else "1"))
        return
    minutes = task.days * MINUTES_PER_DAY
    work = int(minutes * units)
    done = work * task.percent // 100
    start, finish = stamp(task.start), stamp(task.finish, 17)
    out.append(
        "<Assignment><UID>%d</UID><TaskUID>%d</TaskUID><ResourceUID>%d</ResourceUID><PercentWorkComplete>%d"
        "</PercentWorkComplete><ActualCost>0</ActualCost><ActualOvertimeCost>0</ActualOvertimeCost>"
        "<ActualOvertimeWork>PT0H0M0S</ActualOvertimeWork><ActualWork>%s</ActualWork><ACWP>0.00</ACWP>"
        "<Confirmed>0</Confirmed><Cost>%d</Cost><CostRateTable>0</CostRateTable><CostVariance>0</CostVariance>"
        "<CV>0.00</CV><Delay>0</Delay><Finish>%s</Finish><FinishVariance>0</FinishVariance>"
        "<WorkVariance>0.00</WorkVariance><HasFixedRateUnits>1</HasFixedRateUnits><FixedMaterial>0"
        "</FixedMaterial><LevelingDelay>0</LevelingDelay><LevelingDelayFormat>7</LevelingDelayFormat>"
        "<LinkedFields>0</LinkedFields><Milestone>0</Milestone><Overallocated>0</Overallocated>"
        "<OvertimeCost>0</OvertimeCost><OvertimeWork>PT0H0M0S</OvertimeWork><RegularWork>%s</RegularWork>"
        "<RemainingCost>0</RemainingCost><RemainingOvertimeCost>0</RemainingOvertimeCost>"
        "<RemainingOvertimeWork>PT0H0M0S</RemainingOvertimeWork><RemainingWork>%s</RemainingWork>"
        "<ResponsePending>0</ResponsePending><Start>%s</Start><StartVariance>0</StartVariance>"
        "<Units>%s</Units><UpdateNeeded>0</UpdateNeeded><VAC>0.00</VAC><Work>%s</Work>"
        "<WorkContour>0</WorkContour><BCWS>0.00</BCWS><BCWP>0.00</BCWP><BookingType>1</BookingType>"
        "<CreationDate>2025-11-03T09:12:00</CreationDate>"
        "<Baseline><Number>0</Number><Start>%s</Start><Finish>%s</Finish><Work>%s</Work><Cost>0</Cost>"
        "<BCWS>0.00</BCWS><BCWP>0.00</BCWP></Baseline>"
        % (uid, task.uid, resource_uid, task.percent, hours(done // 60), work // 6, finish, hours(work // 60),
           hours((work - done) // 60), start, "%.2f" % units if units != 1 else "1", hours(work // 60),
           start, finish, hours(work // 60)))
    # Remaining work (type 1) and baseline work (type 4), one block per working period;
    # actual work (type 2) for what is done.
    per_day = hours(int(8 * units))
    day = task.start
    periods = min(max(task.days, 1), 3)
    for index in range(periods):
        last = day if index < periods - 1 else task.finish
        for kind in ((1, 4, 2) if task.percent else (1, 4)):
            out.append("<TimephasedData><Type>%d</Type><UID>%d</UID><Start>%s</Start><Finish>%s</Finish>"
                       "<Unit>2</Unit><Value>%s</Value></TimephasedData>"
                       % (kind, uid, stamp(day), stamp(last, 17), per_day))
        day = add_workdays(day, 1)
    out.append("</Assignment>")


def long_note(rng, uid, length):
    """A note of exactly `length` characters that names its work package lot (UID mod 1000)."""
    parts = ["Work package lot %04d." % (uid % 1000)]
    size = len(parts[0])
    while size < length:
        sentence = rng.choice(NOTE_SENTENCES).format(
            name=rng.choice(FIRST_NAMES), object=rng.choice(OBJECTS), amount=rng.randint(1000, 90000))
        parts.append(sentence)
        size += len(sentence) + 1
    return " ".join(parts)[:length]


def generate(out, task_count, seed, note_chars=0, resource_total=None, lean=False):
    """Writes the plan through out.append, piece by piece."""
    rng = random.Random(seed)
    project_start = datetime.date(2026, 3, 2)
    tasks = build_outline(rng, max(task_count - 1, 1), project_start)
    status_day = add_workdays(project_start, 60)
    leaves = decorate(rng, tasks, status_day)
    project_finish = max(t.finish for t in tasks)

    resource_count = resource_total if resource_total else max(3, min(4000, task_count // 12))
    resources = []
    for uid in range(1, resource_count + 1):
        roll = rng.random()
        if roll < 0.82:
            name = rng.choice(FIRST_NAMES) + " " + rng.choice(LAST_NAMES)
            kind = 1
        elif roll < 0.93:
            name = rng.choice(EQUIPMENT) + " " + str(uid)
            kind = 1
        else:
            name = rng.choice(MATERIALS) + " " + str(uid)
            kind = 0
        resources.append((uid, name, kind))

    out.append('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n')
    if lean:
        out.append('<Project xmlns="%s"><Name>Plan %d.xml</Name><Title>Campus building phase %d</Title>'
                   "<Author>Planning office</Author><StartDate>%s</StartDate><FinishDate>%s</FinishDate>"
                   "<MinutesPerDay>480</MinutesPerDay><Tasks>"
                   % (NAMESPACE, task_count, task_count, stamp(project_start), stamp(project_finish, 17)))
    else:
        out.append('<Project xmlns="%s"><SaveVersion>14</SaveVersion><Name>Plan %d.xml</Name>'
                   "<Title>Campus building phase %d</Title><Author>Planning office</Author>"
                   "<CreationDate>2025-11-03T09:12:00</CreationDate><LastSaved>2026-02-27T16:45:00</LastSaved>"
                   "<ScheduleFromStart>1</ScheduleFromStart><StartDate>%s</StartDate><FinishDate>%s</FinishDate>"
                   "<FYStartDate>1</FYStartDate><CriticalSlackLimit>0</CriticalSlackLimit><CurrencyDigits>2"
                   "</CurrencyDigits><CurrencySymbol>€</CurrencySymbol><CurrencyCode>EUR</CurrencyCode>"
                   "<CurrencySymbolPosition>3</CurrencySymbolPosition><CalendarUID>1</CalendarUID>"
                   "<DefaultStartTime>08:00:00</DefaultStartTime><DefaultFinishTime>17:00:00</DefaultFinishTime>"
                   "<MinutesPerDay>480</MinutesPerDay><MinutesPerWeek>2400</MinutesPerWeek><DaysPerMonth>20"
                   "</DaysPerMonth><DefaultTaskType>0</DefaultTaskType><DefaultFixedCostAccrual>3"
                   "</DefaultFixedCostAccrual><DefaultStandardRate>0</DefaultStandardRate><DefaultOvertimeRate>0"
                   "</DefaultOvertimeRate><DurationFormat>7</DurationFormat><WorkFormat>2</WorkFormat>"
                   "<EditableActualCosts>0</EditableActualCosts><HonorConstraints>0</HonorConstraints>"
                   "<InsertedProjectsLikeSummary>1</InsertedProjectsLikeSummary><MultipleCriticalPaths>0"
                   "</MultipleCriticalPaths><NewTasksEffortDriven>0</NewTasksEffortDriven><NewTasksEstimated>1"
                   "</NewTasksEstimated><SplitsInProgressTasks>1</SplitsInProgressTasks><SpreadActualCost>0"
                   "</SpreadActualCost><SpreadPercentComplete>0</SpreadPercentComplete><TaskUpdatesResource>1"
                   "</TaskUpdatesResource><FiscalYearStart>0</FiscalYearStart><WeekStartDay>1</WeekStartDay>"
                   "<MoveCompletedEndsBack>0</MoveCompletedEndsBack><MoveRemainingStartsBack>0"
                   "</MoveRemainingStartsBack><MoveRemainingStartsForward>0</MoveRemainingStartsForward>"
                   "<MoveCompletedEndsForward>0</MoveCompletedEndsForward><BaselineForEarnedValue>0"
                   "</BaselineForEarnedValue><AutoAddNewResourcesAndTasks>1</AutoAddNewResourcesAndTasks>"
                   "<StatusDate>%s</StatusDate><CurrentDate>%s</CurrentDate><MicrosoftProjectServerURL>1"
                   "</MicrosoftProjectServerURL><Autolink>0</Autolink><NewTaskStartDate>0</NewTaskStartDate>"
                   "<DefaultTaskEVMethod>0</DefaultTaskEVMethod><ProjectExternallyEdited>0"
                   "</ProjectExternallyEdited><ExtendedCreationDate>1984-01-01T00:00:00</ExtendedCreationDate>"
                   "<ActualsInSync>0</ActualsInSync><RemoveFileProperties>0</RemoveFileProperties>"
                   "<AdminProject>0</AdminProject>"
                   % (NAMESPACE, task_count, task_count, stamp(project_start), stamp(project_finish, 17),
                      stamp(status_day, 17), stamp(status_day)))
        out.append("<ExtendedAttributes>")
        for field, name, alias in EXTENDED_FIELDS:
            out.append("<ExtendedAttribute><FieldID>%s</FieldID><FieldName>%s</FieldName><Alias>%s</Alias>"
                       "<Guid>000039B7-8BBE-4CEB-82C4-FA8C0B4%05d</Guid><SecondaryPID>255851%s</SecondaryPID>"
                       "</ExtendedAttribute>" % (field, name, escape(alias), int(field) % 100000, field[-3:]))
        out.append("</ExtendedAttributes><Calendars>")
        holidays = []
        for year in range(project_start.year, project_finish.year + 2):
            for month, day, label in ((1, 1, "New Year"), (5, 1, "Labour Day"), (12, 25, "Christmas Day"),
                                      (12, 26, "Boxing Day")):
                holiday = datetime.date(year, month, day)
                holidays.append((holiday, holiday, label))
        write_calendar(out, 1, "Standard", -1, holidays)
        for uid, name, kind in resources:
            if kind == 1:
                leave = []
                if rng.random() < 0.3:
                    first = add_workdays(project_start, rng.randint(10, 400))
                    leave.append((first, first + datetime.timedelta(days=rng.randint(0, 13)), "Leave"))
                write_calendar(out, 1000 + uid, name, 1, leave)
        out.append("</Calendars><Tasks>")

    summary = new_task(0, 0, [0], "Plan %d" % task_count)
    summary.summary = True
    summary.start, summary.finish = project_start, project_finish
    summary.days = workdays_between(project_start, project_finish)
    if note_chars > 0:
        # A stream of its own, so that the rest of the plan is the same with or without notes.
        note_rng = random.Random(seed + 1)
        for task in [summary] + tasks:
            task.notes = long_note(note_rng, task.uid, note_chars)
    write_task(out, summary, lean)
    for task in tasks:
        write_task(out, task, lean)
    out.append("</Tasks><Resources>")
    if lean:
        out.append("<Resource><UID>0</UID><ID>0</ID><Type>1</Type><IsNull>0</IsNull></Resource>")
        for uid, name, kind in resources:
            initials = "".join(part[0] for part in name.split())
            out.append("<Resource><UID>%d</UID><ID>%d</ID><Name>%s</Name><Type>%d</Type><IsNull>0</IsNull>"
                       "<Initials>%s</Initials>%s<MaxUnits>%s</MaxUnits><IsCostResource>0</IsCostResource>"
                       "</Resource>"
                       % (uid, uid, escape(name), kind, escape(initials),
                          "<EmailAddress>%s@example.com</EmailAddress>" % name.split()[0].lower() if uid % 3 else "",
                          "1.00" if kind else "0.00"))
        resources = []
    else:
        out.append("<Resource><UID>0</UID><ID>0</ID><Type>1</Type><IsNull>0</IsNull><WorkGroup>0</WorkGroup>"
                   "<MaxUnits>1.00</MaxUnits><PeakUnits>0.00</PeakUnits><OverAllocated>0</OverAllocated>"
                   "<CanLevel>0</CanLevel><AccrueAt>3</AccrueAt></Resource>")
    for uid, name, kind in resources:
        rate = rng.choice([45, 60, 75, 90, 120]) if kind else 0
        initials = "".join(part[0] for part in name.split())
        out.append(
            "<Resource><UID>%d</UID><ID>%d</ID><Name>%s</Name><Type>%d</Type><IsNull>0</IsNull>"
            "<Initials>%s</Initials><Group>%s</Group>%s<WorkGroup>0</WorkGroup><MaxUnits>%s</MaxUnits>"
            "<PeakUnits>1.00</PeakUnits><OverAllocated>0</OverAllocated><CanLevel>1</CanLevel>"
            "<AccrueAt>3</AccrueAt><Work>PT320H0M0S</Work><RegularWork>PT320H0M0S</RegularWork>"
            "<OvertimeWork>PT0H0M0S</OvertimeWork><ActualWork>PT0H0M0S</ActualWork><RemainingWork>PT320H0M0S"
            "</RemainingWork><ActualOvertimeWork>PT0H0M0S</ActualOvertimeWork><RemainingOvertimeWork>"
            "PT0H0M0S</RemainingOvertimeWork><PercentWorkComplete>0</PercentWorkComplete><StandardRate>%d"
            "</StandardRate><StandardRateFormat>2</StandardRateFormat><Cost>0</Cost><OvertimeRate>0"
            "</OvertimeRate><OvertimeRateFormat>2</OvertimeRateFormat><OvertimeCost>0</OvertimeCost>"
            "<CostPerUse>0</CostPerUse><ActualCost>0</ActualCost><ActualOvertimeCost>0</ActualOvertimeCost>"
            "<RemainingCost>0</RemainingCost><RemainingOvertimeCost>0</RemainingOvertimeCost>"
            "<WorkVariance>0.00</WorkVariance><CostVariance>0</CostVariance><SV>0.00</SV><CV>0.00</CV>"
            "<ACWP>0.00</ACWP>%s<BCWS>0.00</BCWS><BCWP>0.00</BCWP><IsGeneric>0</IsGeneric><IsInactive>0"
            "</IsInactive><IsEnterprise>0</IsEnterprise><BookingType>0</BookingType><CreationDate>"
            "2025-11-03T09:12:00</CreationDate><IsCostResource>0</IsCostResource><IsBudget>0</IsBudget>"
            "<Baseline><Number>0</Number><Work>PT320H0M0S</Work><Cost>%d</Cost><BCWS>0.00</BCWS>"
            "<BCWP>0.00</BCWP></Baseline><Rates><Rate><RatesFrom>1984-01-01T00:00:00</RatesFrom><RatesTo>"
            "2026-06-30T23:59:00</RatesTo><RateTable>0</RateTable><StandardRate>%d</StandardRate>"
            "<StandardRateFormat>2</StandardRateFormat><OvertimeRate>0</OvertimeRate><OvertimeRateFormat>2"
            "</OvertimeRateFormat><CostPerUse>0</CostPerUse></Rate><Rate><RatesFrom>2026-07-01T00:00:00"
            "</RatesFrom><RatesTo>2049-12-31T23:59:00</RatesTo><RateTable>0</RateTable><StandardRate>%d"
            "</StandardRate><StandardRateFormat>2</StandardRateFormat><OvertimeRate>0</OvertimeRate>"
            "<OvertimeRateFormat>2</OvertimeRateFormat><CostPerUse>0</CostPerUse></Rate></Rates></Resource>"
            % (uid, uid, escape(name), kind, escape(initials), "Site" if kind else "Materials",
               "<EmailAddress>%s@example.com</EmailAddress>" % name.split()[0].lower() if uid % 3 else "",
               "1.00" if kind else "0.00", rate, "<CalendarUID>%d</CalendarUID>" % (1000 + uid) if kind else "",
               rate * 320, rate, rate + 5))
    out.append("</Resources><Assignments>")
    assignment_uid = 0
    for task in leaves:
        if task.milestone:
            continue
        for _ in range(rng.choice([1, 1, 1, 1, 2, 2, 3])):
            assignment_uid += 1
            resource_uid = rng.randint(1, resource_count)
            units = rng.choice([1.0, 1.0, 1.0, 0.5, 0.25, 2.0])
            write_assignment(out, assignment_uid, task, resource_uid, units, lean)
    # Summary tasks carry a resource-less assignment, as Project writes them.
    for task in tasks:
        if task.summary:
            assignment_uid += 1
            out.append("<Assignment><UID>%d</UID><TaskUID>%d</TaskUID><ResourceUID>-65535</ResourceUID>"
                       "<PercentWorkComplete>0</PercentWorkComplete><Units>1</Units><Work>PT0H0M0S</Work>"
                       "</Assignment>" % (assignment_uid, task.uid))
    out.append("</Assignments></Project>")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("tasks", type=int, help="number of Task elements, the UID 0 summary row included")
    parser.add_argument("output", help="file to write")
    parser.add_argument("--seed", type=int, default=20260302)
    parser.add_argument("--note-chars", type=int, default=0,
                        help="give every task a note of this many characters (default: a few short notes)")
    parser.add_argument("--resources", type=int, default=0,
                        help="number of resources (default: one per twelve tasks, at most 4000)")
    parser.add_argument("--lean", action="store_true",
                        help="write only the elements the viewer reads (under 1 KB a task)")
    args = parser.parse_args()
    if args.tasks < 1:
        sys.exit("task count must be at least 1")
    if args.note_chars < 0 or args.resources < 0:
        sys.exit("note length and resources must not be negative")
    with open(args.output, "w", encoding="utf-8", newline="", buffering=1 << 20) as handle:
        out = Writer(handle)
        generate(out, args.tasks, args.seed, args.note_chars, args.resources or None, args.lean)


class Writer:
    """What generate writes to: each piece goes to the file as it is made."""

    def __init__(self, handle):
        self.append = handle.write


if __name__ == "__main__":
    main()
