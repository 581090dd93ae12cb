# SPDX-License-Identifier: MIT
"""What the demo plan says: its dates, calendar, resources, tasks and notes.

make_demo_plan.py schedules these tasks and writes them as a Microsoft
Project XML export; edit this file to change what the plan contains.
"""

import datetime as dt
import uuid

PROJECT_START = dt.date(2026, 9, 7)
PROJECT_FINISH = dt.date(2027, 5, 28)
STATUS_DATE = dt.date(2026, 12, 4)       # last day reported on
CURRENT_DATE = dt.date(2026, 12, 7)      # the day the plan was saved
TITLE = "Harbour Terminal Expansion"
COMPANY = "Kestrel Bay Port Authority"
AUTHOR = "Ingrid Sørensen"
MAIL = "kestrelbayport.example"
GUID_NS = uuid.UUID("6f1c1d1e-55a0-4c3b-9d55-2f3e0b7a9c11")

HOLIDAYS = [  # (first day, last day, name)
    (dt.date(2026, 8, 31), dt.date(2026, 8, 31), "Summer bank holiday"),
    (dt.date(2026, 12, 24), dt.date(2027, 1, 1), "Christmas shutdown"),
    (dt.date(2027, 3, 26), dt.date(2027, 3, 26), "Good Friday"),
    (dt.date(2027, 3, 29), dt.date(2027, 3, 29), "Easter Monday"),
    (dt.date(2027, 5, 3), dt.date(2027, 5, 3), "Early May bank holiday"),
    (dt.date(2027, 5, 31), dt.date(2027, 5, 31), "Spring bank holiday"),
]

# --------------------------------------------------------------------------
# Resources: key, UID, name, initials, group, type (1 work, 0 material),
# max units, standard rate per hour, cost centre. "Travel" (COST_RESOURCE) is
# written as a cost resource: Type 1 with IsCostResource 1.

RESOURCES = [
    ("PM", 1, "Ingrid Sørensen", "IS", "Project Management", 1, 1.0, 115, "CC-100"),
    ("PC", 2, "Tomás Ferreira", "TF", "Project Management", 1, 0.5, 85, "CC-100"),
    ("ME", 3, "Helen Achterberg", "HA", "Design", 1, 1.0, 105, "CC-210"),
    ("GE", 4, "Rajesh Iyer", "RI", "Design", 1, 0.8, 95, "CC-210"),
    ("CE", 5, "Camille Durand", "CD", "Design", 1, 1.0, 95, "CC-210"),
    ("SE", 6, "Jürgen Böhm", "JB", "Design", 1, 1.0, 110, "CC-210"),
    ("PR", 7, "Aoife Brennan", "AB", "Commercial", 1, 1.0, 90, "CC-300"),
    ("SM", 8, "Kwame Mensah", "KM", "Construction", 1, 1.0, 100, "CC-400"),
    ("IT", 9, "Li Wei", "LW", "Systems", 1, 1.0, 105, "CC-500"),
    ("AE", 10, "Sofia Lindqvist", "SL", "Systems", 1, 0.8, 98, "CC-500"),
    ("MC", 11, "Marine works crew", "MWC", "Contractors", 1, 3.0, 420, "CC-410"),
    ("CC", 12, "Civil works crew", "CWC", "Contractors", 1, 2.0, 310, "CC-410"),
    ("EL", 13, "Electrical contractor", "ELC", "Contractors", 1, 1.0, 180, "CC-420"),
    ("CR", 14, "Crane erection team", "CET", "Suppliers", 1, 1.0, 260, "CC-430"),
    ("SA", 15, "Marta Łukasik", "MŁ", "Safety & Security", 1, 0.5, 92, "CC-120"),
    ("TR", 16, "Travel", "TRV", "Expenses", 1, 1.0, 0, "CC-100"),
    ("FS", 17, "Fender system SCN 1400", "FND", "Materials", 0, 1.0, 0, "CC-430"),
    ("BF", 18, "Building contractor", "BLD", "Contractors", 1, 1.0, 240, "CC-440"),
]
RES = {r[0]: r for r in RESOURCES}
MATERIAL_LABEL = {"FS": "set"}
MATERIAL_COST = {"FS": 186500}
COST_RESOURCE = "TR"
PERSON_EMAIL = {
    "PM": "ingrid.sorensen", "PC": "tomas.ferreira", "ME": "helen.achterberg",
    "GE": "rajesh.iyer", "CE": "camille.durand", "SE": "juergen.boehm",
    "PR": "aoife.brennan", "SM": "kwame.mensah", "IT": "li.wei",
    "AE": "sofia.lindqvist", "SA": "marta.lukasik",
}
VACATION = {"CE": (dt.date(2027, 2, 15), dt.date(2027, 2, 19))}

# --------------------------------------------------------------------------
# Tasks. Each row: (outline level, key, name, duration in days or None for
# a summary, predecessors, options). A duration of 0 is a milestone.
# Predecessors: "KEY" (FS), "KEY:SS", "KEY:FF+2", "KEY:SF" ... lag in days.
# Options: base (baseline duration when it differs), b1 (days the older
# baseline 1 had less), res [(resource key, units)], unassigned (an
# assignment with ResourceUID -65535), manual (a manually scheduled task
# starting on that date), late (added after the baseline: no baseline, a
# new UID), note (a key of NOTES), pkg (contract package, inherited by the
# rows below), hold (client hold point flag), snet (start no earlier than),
# deadline. The row with key None is the empty row the export keeps.

S = None  # summary
TASKS = [
    (1, "P1", "Project initiation", S, "", {"pkg": "CP-00 Management"}),
    (2, "CON", "Contract signed", 0, "", {"unassigned": True, "note": "n_con"}),
    (2, "KO", "Project kick-off meeting", 1, "CON",
     {"res": [("PM", 1), ("PC", 0.5), ("ME", 1), ("PR", 1), ("SM", 1), ("TR", 1)]}),
    (2, "PRE", "Pre-award site walk and tender clarifications", 4, "",
     {"manual": dt.date(2026, 9, 1), "res": [("PM", 1), ("SM", 0.5)], "note": "n_pre"}),
    (2, "PEP", "Project execution plan", 8, "KO", {"res": [("PM", 1), ("PC", 0.5)]}),
    (2, "HSE", "Health, safety and environmental plan", 6, "PEP:SS+2",
     {"res": [("SA", 0.5), ("SM", 0.5)]}),
    (2, "PER", "Permits and consents", S, "", {}),
    (3, "EIA", "Environmental impact assessment review", 12, "KO",
     {"base": 10, "res": [("ME", 0.5)]}),
    (3, "LIC", "Marine licence application and determination", 30, "EIA",
     {"unassigned": True, "b1": 5}),
    (3, "BPM", "Building permit – terminal building", 25, "BCD", {"res": [("PR", 0.5)]}),
    (3, "PMG", "Permits granted", 0, "LIC BPM", {}),
    (2, "INI", "Initiation complete", 0, "PEP HSE", {}),

    (1, "P2", "Design and engineering", S, "", {"pkg": "CP-01 Design"}),
    (2, "SIV", "Site investigations", S, "", {}),
    (3, "BAT", "Bathymetric survey", 8, "KO", {"res": [("ME", 1), ("MC", 0.5)]}),
    (3, "GEO", "Geotechnical investigation – boreholes", 18, "BAT:SS+3",
     {"base": 15, "res": [("GE", 1), ("MC", 0.5)], "note": "n_geo"}),
    (3, "SRR", "Survey reports reviewed", 3, "BAT GEO", {"base": 6, "res": [("ME", 1), ("GE", 1)]}),
    (2, "MCD", "Marine and civil design", S, "", {}),
    (3, "QWD", "Quay wall design", S, "", {}),
    (4, "QCO", "Concept design", 10, "SRR", {"res": [("ME", 1), ("SE", 0.5)]}),
    (4, "QDD", "Detailed design", 17, "QCO", {"res": [("SE", 1), ("ME", 0.5)]}),
    (4, "QIC", "Independent design check (Überprüfung)", 6, "QDD",
     {"res": [("SE", 0.5)], "note": "n_qic", "hold": True}),
    (3, "YPD", "Yard pavement design", 12, "QCO", {"res": [("CE", 1)]}),
    (3, "DUD", "Drainage and utilities design", 10, "YPD:SS+4 YPD:FF+2",
     {"res": [("CE", 0.5), ("EL", 0.5)]}),
    (2, "TBD", "Terminal building design", S, "", {}),
    (3, "BCD", "Terminal building concept design", 10, "KO", {"res": [("CE", 0.5)]}),
    (3, "BDD", "Terminal building detailed design", 20, "BCD", {"res": [("CE", 0.5), ("EL", 0.5)]}),
    (2, "ITD", "IT and automation design", S, "", {}),
    (3, "TOD", "Terminal operating system (TOS) integration design", 15, "KO",
     {"res": [("IT", 1), ("AE", 0.5)]}),
    (3, "GAD", "Gate automation and OCR design", 10, "TOD:SS+5", {"res": [("AE", 1)]}),
    (2, "DFZ", "Design freeze", 0, "QIC DUD BDD GAD", {"hold": True}),

    (1, "P3", "Procurement", S, "", {"pkg": "CP-02 Procurement"}),
    (2, "CSP", "STS crane technical requirements", 10, "KO",
     {"res": [("SE", 0.5), ("PR", 0.5), ("AE", 0.5)]}),
    (2, "CTA", "STS crane tender and award", 15, "CSP",
     {"res": [("PR", 1), ("PM", 0.5), ("TR", 1)]}),
    (2, "COP", "STS crane order placed", 0, "CTA", {"hold": True}),
    (2, "RTO", "RTG crane tender and order", 15, "CSP", {"res": [("PR", 1)]}),
    (2, "MWC", "Marine works contract", S, "", {}),
    (3, "MTD", "Tender documents – marine works", 10, "QCO", {"res": [("PR", 1), ("ME", 0.5)]}),
    (3, "MTE", "Tender period and evaluation", 20, "MTD",
     {"res": [("PR", 1), ("ME", 0.5), ("PM", 0.5)]}),
    (3, "MCA", "Marine works contractor appointed", 0, "MTE", {}),
    (2, "FSS", "Fender system supply", 25, "MCA", {"res": [("FS", 1), ("PR", 0.5)]}),
    (2, "BCA", "Building contractor appointed", 15, "BDD", {"res": [("PR", 0.5)]}),
    (2, "IHP", "IT hardware procurement", 20, "GAD", {"res": [("IT", 0.5), ("PR", 0.5)]}),
    (2, "PRC", "Procurement complete", 0, "COP RTO MCA FSS BCA IHP", {}),

    (1, "P4", "Marine and civil works", S, "", {"pkg": "CP-03 Marine Works"}),
    (2, "MOB", "Contractor mobilisation and site set-up", 8, "MCA PMG",
     {"res": [("MC", 1), ("SM", 1)]}),
    (2, "GEN", "Temporary generators on hire", 12, "MOB SUB:SF", {"res": [("EL", 0.5)]}),
    (2, "QWC", "Quay wall construction", S, "", {}),
    (3, "PIL", "Piling", S, "", {}),
    (4, "KPI", "Install combi-wall king piles", 20, "MOB", {"res": [("MC", 2), ("SM", 1)]}),
    (4, "SPI", "Install sheet pile infill", 12, "KPI:SS+5", {"res": [("MC", 1)]}),
    (4, "TRA", "Install tie rods and anchor wall", 10, "SPI", {"res": [("MC", 1), ("SM", 0.5)]}),
    (3, "DCK", "Deck and capping beam", S, "", {}),
    (4, "PDB", "Place pre-cast deck beams", 10, "TRA", {"res": [("MC", 1)]}),
    (4, "CAP", "Cast in-situ capping beam", 12, "PDB", {"res": [("MC", 1), ("CC", 0.5)]}),
    (4, "FEN", "Install fenders and bollards", 6, "CAP FSS", {"res": [("MC", 1)]}),
    (3, "QWX", "Quay wall complete", 0, "FEN", {}),
    (2, "DRG", "Dredging", S, "", {}),
    (3, "DBP", "Dredge berth pocket to -16.5 m CD", 25, "TRA", {"res": [("MC", 1)]}),
    (3, "TEM", "Turbidity and environmental monitoring", 20, "DBP:SS DBP:FF+2",
     {"res": [("ME", 0.5)]}),
    (2, "YRD", "Container yard", S, "", {"pkg": "CP-04 Civil Works"}),
    (3, "GIS", "Ground improvement and subbase", 20, "MOB", {"res": [("CC", 2)]}),
    (3, "UDD", "Underground drainage and ducts", 18, "GIS:SS+5",
     {"base": 16, "res": [("CC", 1), ("EL", 0.5)]}),
    (3, "BPV", "Block paving – container stacks", 25, "GIS", {"res": [("CC", 2)]}),
    (3, "LMS", "Line marking and signage", 5, "BPV:FF+2", {"res": [("CC", 0.5)]}),
    (2, "SUB", "Energise terminal substation", 3, "UDD", {"res": [("EL", 1)]}),
    (2, "CWX", "Civil works complete", 0, "QWX LMS TEM SUB", {}),

    (1, "P5", "Terminal building and gate", S, "", {"pkg": "CP-05 Buildings"}),
    (2, "BFO", "Building foundations", 13, "BCA PMG",
     {"base": 15, "res": [("BF", 1), ("SM", 0.5)]}),
    (2, "STF", "Steel frame erection", 12, "BFO", {"base": 8, "res": [("BF", 1)]}),
    (2, "ENV", "Building envelope and roofing", 15, "STF", {"res": [("BF", 1)]}),
    (2, "MEP", "Building services (M&E)", 20, "ENV:SS+5", {"res": [("EL", 1), ("BF", 0.5)]}),
    (2, "FIT", "Interior fit-out", S, "", {}),
    (3, "CRF", "Control room fit-out", 10, "ENV", {"res": [("BF", 1), ("AE", 0.5)]}),
    (3, "CAF", "Café and welfare area fit-out", 8, "ENV",
     {"res": [("BF", 0.5)], "late": True, "note": "n_caf"}),
    (2, "GTC", "Gate complex", S, "", {}),
    (3, "GCL", "Gate canopy and lanes", 15, "GIS", {"res": [("CC", 1)]}),
    (3, "OCR", "OCR portals and barriers installation", 8, "GCL IHP",
     {"res": [("AE", 1), ("EL", 0.5)]}),
    (3, "MGP", "Interim manual gate operation", 10, "GCL:SS GCO:SF", {"res": [("SM", 0.5)]}),
    (2, "BPC", "Building practical completion", 0, "CRF CAF MEP", {"hold": True}),

    (1, "P6", "Equipment and systems", S, "", {"pkg": "CP-06 Equipment"}),
    (2, "STS", "Ship-to-shore cranes", S, "", {}),
    (3, "CFB", "Crane fabrication and factory acceptance test", 100, "COP",
     {"unassigned": True, "note": "n_cfb"}),
    (3, "CST", "Sea transport from Shanghai", 15, "CFB",
     {"base": 12, "unassigned": True, "note": "n_cst"}),
    (3, "CER", "Crane erection on the quay", 12, "CST QWX", {"res": [("CR", 1), ("SM", 0.5)]}),
    (3, "CCM", "Crane commissioning and load testing", 8, "CER",
     {"res": [("CR", 1), ("AE", 0.5), ("SA", 0.5)]}),
    (2, "RTG", "Rubber-tyred gantry cranes", S, "", {}),
    (3, "RFD", "RTG fabrication and delivery", 70, "RTO", {"unassigned": True}),
    (3, "RAC", "RTG assembly and commissioning", 10, "RFD BPV", {"res": [("CR", 1), ("AE", 0.5)]}),
    (2, "TOS", "Terminal operating system", S, "", {}),
    (3, "TCF", "TOS configuration", 25, "TOD DFZ", {"res": [("IT", 1), ("AE", 0.5)]}),
    (3, "TIF", "Interfaces to customs and port community system", 15, "TCF",
     {"res": [("IT", 0.5), ("TR", 1)], "note": "n_tif"}),
    (2, "NCI", "Network, CCTV and access control installation", 15, "IHP ENV",
     {"res": [("EL", 1), ("IT", 0.5)]}),
    (2, "GCO", "Gate automation cut-over", 2, "OCR TIF",
     {"res": [("AE", 1), ("IT", 1), ("SM", 0.5)]}),
    (2, None, None, None, "", {}),  # an empty row, as the export keeps it

    (1, "P7", "Testing, commissioning and handover", S, "", {"pkg": "CP-07 Commissioning"}),
    (2, "IST", "Integrated systems test", 6, "CCM RAC GCO NCI BPC CWX",
     {"res": [("AE", 1), ("IT", 1), ("SM", 0.5)]}),
        (2, "TSR", "STS and RTG operator training", 10, "CCM:SS+3", {"res": [("CR", 0.5)]}),
    (2, "TOP", "Trial operations", 10, "IST TSR",
     {"res": [("SM", 1), ("AE", 0.5), ("IT", 0.5)]}),
    (2, "ORR", "Operational readiness review", 2, "TOP", {"res": [("PM", 1), ("SA", 0.5)]}),
    (2, "GLD", "Go-live decision board", 1, "ORR", {"res": [("PM", 1)], "hold": True}),
    (2, "GOL", "Go-live: first vessel call", 0, "GLD",
     {"unassigned": True, "note": "n_gol", "deadline": dt.date(2027, 6, 4)}),
    (2, "ABD", "As-built documentation and O&M manuals", 4, "",
     {"manual": dt.date(2027, 6, 1), "res": [("CE", 0.5)], "late": True, "note": "n_abd"}),

    (1, "P8", "Project management", S, "", {"pkg": "CP-00 Management"}),
    (2, "PRG", "Progress reporting and cost control", 170, "KO:SS", {"res": [("PC", 0.5)]}),
    (2, "SSV", "Site supervision", 55, "MOB:SS CWX:FF", {"res": [("SM", 0.5)]}),
    (2, "RR1", "Quarterly risk review – Q4 2026", 1, "KO",
     {"snet": dt.date(2026, 11, 25), "res": [("PM", 1), ("PC", 0.5)]}),
]

NOTES = {
    "n_con": "Contract HTE-2026-014 signed with Kestrel Bay Port Authority.\r\n"
             "Notice to proceed issued the same day; advance payment guarantee lodged.",
    "n_pre": "Held before contract award at the client's request.\r\n"
             "Kept in the plan for the record: its dates precede the project start.",
    "n_geo": "Slipped by three days: boreholes BH-07 and BH-09 met buried obstructions "
             "and were relocated.\nFinal factual report received 6 October 2026.",
    "n_qic": "Third-party check by Büro für Ingenieurprüfung, Hamburg.\n"
             "The Prüfingenieur sign-off is a client hold point; no piling drawings are "
             "issued for construction before it.",
    "n_cfb": "Two ship-to-shore cranes: outreach 65 m, lift height 49 m above quay, "
             "safe working load 65 t under spreader.\r\n"
             "\r\n"
             "Milestones with the supplier:\r\n"
             "- structural steel cut: week 44\r\n"
             "- boom and trolley assembly: week 6\r\n"
             "- factory acceptance test witnessed by the client's engineer: week 11\r\n"
             "\r\n"
             "Risk R-017: the heavy-lift vessel slot is not yet confirmed. "
             "Weekly call with the supplier's logistics team, Thursdays 09:00.",
    "n_cst": "The carrier moved the heavy-lift vessel slot: forecast three working days "
             "later than the baseline.\nMitigation: erection crew kept on standby; "
             "quay wall completes with float.",
    "n_caf": "Added after the baseline at the operator's request (change order CO-007).\n"
             "Café seating for 40, lockers and showers for the shift crews.",
    "n_tif": "Interface build by the TOS vendor's development centre in São Paulo; "
             "daily stand-up at 13:00 UK time.\nTest environment access requested "
             "20 November 2026.",
    "n_gol": "First vessel call booked: MV Nordic Tern, 28 May 2027.",
    "n_abd": "Manually scheduled: the contractors' O&M manuals and as-built drawings are "
             "due one week after go-live, so this task finishes after the declared "
             "project finish.",
}

LINK_TYPES = {"FF": 0, "FS": 1, "SF": 2, "SS": 3}

PERCENT_OVERRIDE = {"STF": 25}  # reported behind its elapsed time

FIELD_TEXT1, FIELD_TEXT2, FIELD_FLAG1 = 188743731, 188743734, 188743752
FIELD_NUMBER1, FIELD_OUTLINE1, FIELD_RES_TEXT1 = 188743767, 188743096, 205520904
DISCIPLINES = [("MGT", "Management"), ("DES", "Design"), ("COM", "Commercial"),
               ("CIV", "Civil and marine"), ("BLD", "Buildings"), ("EQP", "Equipment"),
               ("SYS", "Systems"), ("CMS", "Commissioning")]
PHASE_DISCIPLINE = {"P1": 1, "P2": 2, "P3": 3, "P4": 4, "P5": 5, "P6": 6, "P7": 8, "P8": 1}
SYSTEM_TASKS = {"TOS", "TCF", "TIF", "NCI", "GCO", "ITD", "TOD", "GAD", "IHP"}
RISK_SCORE = {"CFB": 20, "CST": 16, "LIC": 12, "GEO": 9, "MTE": 6}
RESPONSIBLE = {"P1": "Client", "P2": "Designer", "P3": "Client", "P4": "Marine contractor",
               "P5": "Building contractor", "P6": "Suppliers", "P7": "Operator",
               "P8": "Client"}
