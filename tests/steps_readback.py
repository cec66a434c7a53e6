#!/usr/bin/env python3
"""chords-steps' files read back by what users open them with: the CSV by
Python's csv module against the table printed beside it, the picture by a
second SVG engine (rsvg-convert) that must draw it without a word.

Usage: steps_readback.py CHORDS_STEPS [RSVG_CONVERT]"""
import csv
import io
import os
import struct
import subprocess
import sys
import tempfile

CASES = [
    ["0", "1", "0.0001", "100"],
    ["2.5", "2.6", "0", "20"],
    ["1", "-800", "0.001", "3"],
    ["1", "-18", "0", "3000"],
]
FLOAT_COLUMNS = ["a", "b", "F(a)", "x", "F(x)"]  # stored in single precision
DIALOG_FORMS = {"+INF": "inf", "-INF": "-inf"}  # the table writes them as the dialog does


def float32(text):
    return struct.unpack("<f", struct.pack("<f", float(text)))[0]


def table_rows(output):
    """The table's chord rows, split into fields, by chord number."""
    rows = {}
    header_seen = False
    for line in output.splitlines():
        fields = line.split()
        if not header_seen:
            header_seen = bool(fields) and fields[0] == "Хорда"
            continue
        if fields and fields[0].isdigit():
            rows[int(fields[0])] = fields
    return rows


def check_csv(program, numbers, folder):
    path = os.path.join(folder, "t.csv")
    run = subprocess.run([program, *numbers, "--csv", path], capture_output=True,
                         env=dict(os.environ, LC_ALL="C.UTF-8"), check=True)
    table = table_rows(run.stdout.decode("utf-8"))
    with open(path, newline="", encoding="utf-8") as file:
        records = list(csv.DictReader(file))
    faults = []
    if len(records) != len(table):
        return [f"{numbers}: {len(records)} CSV rows, {len(table)} table rows"]
    for record in records:
        row = table[int(record["chord"])]
        # The table's columns: chord a b F(a) F(b) x F(x) replaced, then
        # the estimates that are there (the first rows lack some).
        values = dict(zip(["a", "b", "F(a)", "F(b)", "x", "F(x)", "replaced"], row[1:8]))
        for column in FLOAT_COLUMNS:
            if float32(record[column]) != float32(values[column]):
                faults.append(f"{numbers} chord {record['chord']} {column}: "
                              f"{record[column]} vs {values[column]}")
        if "%.9g" % float(record["F(b)"]) != DIALOG_FORMS.get(values["F(b)"], values["F(b)"]):
            faults.append(f"{numbers} chord {record['chord']} F(b): {record['F(b)']} vs {values['F(b)']}")
        if record["replaced"] != values["replaced"]:
            faults.append(f"{numbers} chord {record['chord']}: replaced {record['replaced']}")
        estimates = [record[name] for name in ("step", "ratio", "bound", "bound_M1") if record[name]]
        shown = ["%.3g" % float(value) for value in estimates]
        if shown != row[8:8 + len(shown)]:
            faults.append(f"{numbers} chord {record['chord']}: estimates {shown} vs {row[8:]}")
    return faults


# Pictures a user opens: the lesson's, animated; a refused interval's, whose
# reason has "<" in it; a typed equation's with a modified method (skipped
# by a build without typed equations, which refuses it with status 2); a
# root separation's.
PICTURES = [
    ["0", "1", "0.0001", "100", "--animate"],
    ["1", "2", "0.001", "10"],
    ["--equation", "x^2 - 2", "0", "10", "0.1", "100", "--method", "illinois"],
    ["--separate", "-10", "10", "40"],
]


def check_picture(program, rsvg, folder):
    faults = []
    for arguments in PICTURES:
        path = os.path.join(folder, "p.svg")
        if os.path.exists(path):
            os.remove(path)
        run = subprocess.run([program, *arguments, "--svg", path], capture_output=True)
        if run.returncode == 2 and "--equation" in arguments:
            continue
        if not os.path.exists(path):
            faults.append(f"{arguments}: no picture (status {run.returncode})")
            continue
        drawn = subprocess.run([rsvg, path, "-o", os.path.join(folder, "p.png")], capture_output=True)
        if drawn.returncode != 0 or drawn.stderr:
            faults.append(f"{arguments}: rsvg-convert: status {drawn.returncode}: "
                          f"{drawn.stderr.decode(errors='replace')}")
    return faults


def main():
    program = sys.argv[1]
    rsvg = sys.argv[2] if len(sys.argv) > 2 else ""
    faults = []
    with tempfile.TemporaryDirectory() as folder:
        for numbers in CASES:
            faults += check_csv(program, numbers, folder)
        print("CSV read back against the table:", "ok" if not faults else "FAILED")
        if rsvg:
            picture = check_picture(program, rsvg, folder)
            print("pictures drawn by rsvg-convert:", "ok" if not picture else "FAILED")
            faults += picture
    for fault in faults[:20]:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
