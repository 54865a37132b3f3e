"""Reads the programs' CSV exports back with Python's csv module, as a
spreadsheet would, and compares them with what the screen showed.
Usage: csv_readback.py SCENARIO_RUN SCRIPT_DIR"""
import csv
import json
import math
import pathlib
import subprocess
import sys
import tempfile

runner, here = sys.argv[1], pathlib.Path(sys.argv[2])
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def read(path):
    with open(path, newline="", encoding="utf-8-sig") as f:
        return list(csv.reader(f, delimiter=";"))


def number(text):
    return float(text.replace(",", "."))


def run(program, script):
    out = pathlib.Path(tempfile.mkdtemp())
    subprocess.run([runner, program, str(here / script), str(out)], check=True, capture_output=True)
    return out


# diffundo: N + 1 rows, the steps and N as the statistics display shows
# them, the distance as the status line shows it.
out = run("diffundo", "diffundo_export.script")
rows = read(out / "diffundo-1.csv")
screen = (out / "statistics.txt").read_text(encoding="utf-8")
header = {row[0]: row[1] for row in rows[:4] if len(row) > 1}
table = rows[5:]
check(len(table) == 101, f"diffundo: {len(table)} rows, not 101")
steps = int(header["Schritte"])
check(f"{steps} Versuchen" in screen, f"diffundo: {steps} steps not on the statistics screen")
check("N = 100" in screen, "diffundo: N = 100 not on the screen")
check(sum(int(r[1]) for r in table) == steps, "diffundo: counts do not add up to the steps")
check(abs(sum(number(r[2]) for r in table) - 1) < 1e-9, "diffundo: relative frequencies do not add up to 1")
check(abs(sum(number(r[3]) for r in table) - 1) < 1e-9, "diffundo: g(N,m)/2^N does not add up to 1")
check(abs(number(table[50][4]) - (math.lgamma(101) - 2 * math.lgamma(51))) < 1e-9, "diffundo: ln g(100,50)")
statuses = [json.loads(l)["text"] for l in (out / "transcript.jsonl").read_text(encoding="utf-8").splitlines()
            if '"kind":"status"' in l]
distance_row = rows[3]
shown = f"{distance_row[0]}: {distance_row[1]} {distance_row[2]}" if len(distance_row) == 3 else repr(distance_row)
check(shown in statuses, f"diffundo: {shown!r} not in the status line")

# kalorix: the theory's 151 steps; the experiment's five trials with the
# values of the fifth on the screen.
out = run("kalorix", "kalorix_export.script")
theory = read(out / "kalorix-1.csv")
check(len(theory) == 3 + 151, f"kalorix theory: {len(theory) - 3} rows, not 151")
text = (out / "theory.txt").read_text(encoding="utf-8")
maximum = max(theory[3:], key=lambda r: (number(r[5]), int(r[0])))
shown = f"Entropie_Max = {number(maximum[5]):.1f}".replace(".", ",")
check(shown in text, f"kalorix theory: {shown!r} not in the summary")
check(f"Also Übergang von {maximum[0]} " in text, "kalorix theory: step of the maximum")
trials = read(out / "kalorix-2.csv")
check(len(trials) == 7 + 5, f"kalorix experiment: {len(trials) - 7} rows, not 5")
fifth = trials[-1]
text = (out / "trial.txt").read_text(encoding="utf-8")
check(f"Versuch Nr.{fifth[0]}" in text, "kalorix experiment: trial number")
check(f"N_B = {fifth[2]}" in text, "kalorix experiment: N_B")
check(f"U_ges = {math.floor(number(fifth[7]))}" in text, "kalorix experiment: U_ges")

for failure in failures:
    print(failure)
sys.exit(1 if failures else 0)
