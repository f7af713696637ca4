#!/usr/bin/env python3
"""Writes demo/DATA401.QLM: five plainly fictional clients with answer patterns chosen to show
the report's paths (low risk, an alcohol problem, drugs with antisocial behaviour, an invalid
test, and a scale with too many omitted answers). Run from the repository root."""

import random

DESIGN = "data/items/design.tsv"
OUT = "demo/DATA401.QLM"


def load_design():
    items = {}
    with open(DESIGN, encoding="utf-8") as f:
        for line in f:
            if line.startswith("#") or not line.strip():
                continue
            cols = line.rstrip("\n").split("\t")
            scales = [] if cols[1] == "-" else [int(s) for s in cols[1].split(",")]
            items[int(cols[0])] = (scales, cols[2])
    return items


def answer(item, key, deviant):
    """The answer digit that does (or does not) earn points on `key`."""
    if item <= 97:
        if key == "-":
            return random.choice("12")
        keyed = "1" if key[0] == "T" else "2"
        return keyed if deviant else ("2" if keyed == "1" else "1")
    points = [int(c) for c in key] if key != "-" else [0, 0, 0, 0]
    if deviant and max(points) > 0:
        return str(points.index(max(points)) + 1)
    return str(points.index(min(points)) + 1)


def answers(items, rates, omit_scale=None):
    out = []
    for item in range(1, 110):
        scales, key = items[item]
        rate = max((rates.get(s, 0.0) for s in scales), default=0.0)
        if omit_scale in scales and random.random() < 0.5:
            out.append("0")
        else:
            out.append(answer(item, key, random.random() < rate))
    return "".join(out)


def record(name, age, sex, race, edu, dob, scored, counts, ans):
    def fit(text, width):
        return text[:width].ljust(width)
    rec = fit(name, 25) + fit(age, 2) + sex + race + fit(edu, 2) + fit(dob, 10) + "0"
    rec += fit(scored, 10) + "".join(fit(c, 2) for c in counts) + ans + "0" + "0"
    assert len(rec) == 185
    return rec


def main():
    random.seed(401)
    items = load_design()
    clients = [
        ("DEMO, ALEX", "15", "1", "1", "9", "03/14/2011", "11/02/2026",
         ["N", " 0", " 0", " 1", " 0", " 0", " 1", " 0", " 0", " 0", " 0"],
         answers(items, {1: 0.1, 2: 0.1, 3: 0.05, 4: 0.1, 5: 0.15})),
        ("SAMPLE, JORDAN", "16", "2", "3", "10", "07/22/2010", "11/09/2026",
         ["15", " 0", " 1", " 2", " 1", " 0", " 1", " 0", " 1", " 2", " 0"],
         answers(items, {1: 0.15, 2: 0.7, 3: 0.15, 4: 0.2, 5: 0.3})),
        ("EXAMPLE, RIVER", "14", "1", "2", "7", "01/05/2012", "11/20/2026",
         ["12", " 3", " 2", " 5", " 2", " 1", " 4", " 2", " 0", " 0", " 3"],
         answers(items, {1: 0.2, 2: 0.3, 3: 0.8, 4: 0.5, 5: 0.8})),
        ("TESTCASE, CASEY", "17", "2", "1", "N", "N", "12/01/2026",
         ["N", " 1", "-1", " 2", " 1", " 0", " 1", " 1", " 0", " 0", " 2"],
         answers(items, {1: 0.95, 2: 0.2, 3: 0.2, 4: 0.2, 5: 0.2})),
        ("FICTION, MORGAN", "13", "0", "5", "6", "N", "12/03/2026",
         ["13", " 1", " 0", " 1", " 0", " 0", " 1", " 0", " 0", " 0", " 0"],
         answers(items, {1: 0.1, 2: 0.2, 3: 0.1, 4: 0.4, 5: 0.3}, omit_scale=4)),
    ]
    with open(OUT, "w", encoding="latin-1", newline="") as f:
        f.write("".join(record(*c) for c in clients))


if __name__ == "__main__":
    main()
