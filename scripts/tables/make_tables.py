#!/usr/bin/env python3
"""Build Quillmere's scoring and report tables from the item design.

Reads   data/items/design.tsv   (scales, keys and listings of each item)
        data/items/English.tsv  (item wording; checked for shape)
        data/items/Spanish.tsv  (checked for shape)
Writes  data/QLMB.TXT           (keys, norms, scale item lists, floors, ...)
        data/QLMRPT.TXT         (scale and range names, listing texts)

Both outputs are committed; the build does not run this script.  Run it
again after any change to design.tsv:

    python3 scripts/tables/make_tables.py

The script checks its input and re-reads its own output the way the program
reads it; any problem stops it with a message and exit status 1, and nothing
is written.

The norm tables written here are this program's own illustrative curves,
not the result of a norming study.
"""
import math
import os
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DATA = os.path.join(ROOT, "data")
ITEMS = os.path.join(DATA, "items")

ITEM_COUNT = 109
SECTION_END = (0, 97, 109)
SCALES = (1, 2, 3, 4, 5)
SCALE_NAMES = ("Truthfulness", "Alcohol", "Drugs", "Violence", "Antisocial")
RANGE_NAMES = ("LOW", "MEDIUM", "PROBLEM", "MAXIMUM")

# Points the program itself adds from court history and education, per scale.
EXTRA_POINTS = {1: 0, 2: 5 + 5, 3: 3 + 5, 4: 4 + 4 + 4, 5: 3 + 5 + 4 + 5 + 5 + 3}

# Listing sizes fixed by the program.
SIG_ORDER = ((2, 13), (3, 15), (5, 14), (4, 13))   # ALCOHOL, DRUGS, ANTISOCIAL, VIOLENCE
FLOOR_A = ((2, 16), (3, 20), (4, 22), (5, 17))
FLOOR_D = ((2, 4), (3, 3), (4, 2), (5, 5))
NARR = ((2, 12), (3, 15))
ANSWER_SCORED_MC = (102, 103)        # scored by answer value in the program as well

# Raw-score corrections by Truthfulness band 1..9 (scale 1 row unused).
TRUTH_CORRECTION = {
    1: (0, 0, 0, 0, 0, 0, 0, 0, 0),
    2: (0, 0, 1, 1, 1, 2, 2, 3, 3),
    3: (0, 0, 1, 1, 1, 2, 2, 3, 3),
    4: (0, 0, 1, 1, 2, 2, 2, 3, 3),
    5: (0, 1, 1, 1, 2, 2, 3, 3, 4),
}

# Norm curves: percentile(raw) = 100 * (1 - exp(-(raw / s) ** k)), capped at
# 99, with s scaled per norm group.  (s, k) per scale:
CURVE = {1: (4.8, 1.6), 2: (10.0, 1.2), 3: (10.0, 1.15), 4: (12.0, 1.3), 5: (14.0, 1.4)}
# Norm groups in file order: (sex, race, label, factor on s per scale 1..5).
GROUPS = (
    (1, 1, "Male, group 1",   (1.00, 1.00, 1.00, 1.00, 1.00)),
    (1, 2, "Male, group 2",   (0.97, 0.94, 1.04, 1.05, 1.03)),
    (1, 3, "Male, group 3",   (1.03, 1.02, 0.97, 1.02, 0.98)),
    (2, 1, "Female, group 1", (1.02, 0.95, 0.96, 0.82, 0.88)),
    (2, 2, "Female, group 2", (0.99, 0.90, 0.99, 0.86, 0.90)),
    (2, 3, "Female, group 3", (1.05, 0.97, 0.93, 0.84, 0.86)),
)


class TableError(Exception):
    pass


def fail(msg):
    raise TableError(msg)


def check(cond, msg):
    if not cond:
        fail(msg)


# ---------------------------------------------------------------- input ----

def data_lines(path):
    """Non-comment lines of a TSV file (comments only before the first row)."""
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    check("\r" not in text, "%s: carriage return found" % path)
    out, started = [], False
    for no, line in enumerate(text.split("\n"), 1):
        if line == "" and no == text.count("\n") + 1:
            break
        if line.startswith("#") and not started:
            continue
        check(line != "", "%s:%d: empty line" % (path, no))
        started = True
        out.append((no, line))
    return out


def parse_scales(tok, where, allowed):
    if tok == "-":
        return []
    vals = []
    for part in tok.split(","):
        check(part.isdigit() and int(part) in allowed, "%s: bad scale list %r" % (where, tok))
        vals.append(int(part))
    check(len(set(vals)) == len(vals), "%s: repeated scale in %r" % (where, tok))
    return vals


def read_design():
    path = os.path.join(ITEMS, "design.tsv")
    rows = data_lines(path)
    check(len(rows) == ITEM_COUNT, "design.tsv: %d rows, want %d" % (len(rows), ITEM_COUNT))
    items = {}
    for expect, (no, line) in enumerate(rows, 1):
        where = "design.tsv:%d" % no
        cols = line.split("\t")
        check(len(cols) == 8, "%s: %d columns, want 8" % (where, len(cols)))
        num, scales, key, fa, fd, sig, narr, text = cols
        check(num == str(expect), "%s: item %r out of order, want %d" % (where, num, expect))
        item = expect
        it = {"scales": parse_scales(scales, where, SCALES),
              "floorA": parse_scales(fa, where, (2, 3, 4, 5)),
              "floorD": parse_scales(fd, where, (2, 3, 4, 5)),
              "sig": parse_scales(sig, where, (2, 3, 4, 5)),
              "narr": parse_scales(narr, where, (2, 3)),
              "text": text}
        if item <= SECTION_END[1]:
            pts = [0, 0, 0]            # answer 0 (omitted), 1 True, 2 False
            if key != "-":
                check(len(key) == 2 and key[0] in "TF" and key[1] in "1234",
                      "%s: bad key %r" % (where, key))
                pts[1 if key[0] == "T" else 2] = int(key[1])
                it["keyed"] = key[0]
        else:
            check(len(key) == 4 and all(ch in "01234" for ch in key), "%s: bad key %r" % (where, key))
            pts = [0] + [int(ch) for ch in key]
        it["points"] = pts
        it["deviant"] = max(pts)
        if it["scales"]:
            check(it["deviant"] > 0, "%s: item on a scale but earns no points" % where)
        else:
            check(it["deviant"] == 0, "%s: item earns points but is on no scale" % where)
        if item <= SECTION_END[1]:
            if it["sig"]:
                check(text != "-", "%s: significant item without text" % where)
            else:
                check(text == "-", "%s: text given but item not significant" % where)
        else:
            check(not it["sig"], "%s: a multiple-choice item cannot be significant" % where)
            check(not it["floorD"] and not it["narr"], "%s: multiple-choice item in a 1-point/narrative list" % where)
            parts = text.split("|")
            check(len(parts) == 4 and all(p.strip() for p in parts), "%s: want four choice texts" % where)
            it["choices"] = parts
        items[item] = it
    return items


def read_item_file(name, true_word, false_word):
    path = os.path.join(ITEMS, name)
    rows = data_lines(path)
    check(len(rows) == ITEM_COUNT, "%s: %d rows, want %d" % (name, len(rows), ITEM_COUNT))
    for expect, (no, line) in enumerate(rows, 1):
        where = "%s:%d" % (name, no)
        c = line.split("\t")
        check(len(c) == 13, "%s: %d columns, want 13" % (where, len(c)))
        check(c[0] == str(expect), "%s: ID %r, want %d" % (where, c[0], expect))
        check(c[1].strip() != "" and c[1] == c[1].strip(), "%s: question text empty or padded" % where)
        check(not c[1][:1].isdigit(), "%s: question must not start with its number" % where)
        check(c[2] == "q%03d" % expect, "%s: QuestionAudio %r" % (where, c[2]))
        if expect <= SECTION_END[1]:
            check(c[3:8] == [true_word, false_word, "\\N", "\\N", "\\N"], "%s: true/false answers wrong" % where)
            check(c[8:13] == ["True", "False", "\\N", "\\N", "\\N"], "%s: choice audio wrong" % where)
        else:
            check(all(x.strip() and x != "\\N" for x in c[3:7]) and c[7] == "\\N", "%s: want 4 choices" % where)
            check(c[8:12] == ["c%03d_%d" % (expect, a) for a in range(1, 5)] and c[12] == "\\N",
                  "%s: choice audio wrong" % where)
    return rows


# ------------------------------------------------------------ building ----

def build(items):
    t = {}
    # Scoring keys.
    keys1 = ["".join(str(items[i]["points"][a]) for i in range(1, 98)) for a in range(3)]
    keys2 = ["".join(str(items[i]["points"][a]) for i in range(98, 110)) for a in range(5)]
    t["keys"] = keys1 + keys2
    # Scale items.
    t["scale_items"] = {s: [i for i in range(1, 110) if s in items[i]["scales"]] for s in SCALES}
    t["max_raw"] = {s: sum(items[i]["deviant"] for i in t["scale_items"][s]) + EXTRA_POINTS[s] for s in SCALES}

    def listing(field, order):
        out = []
        for s, n in order:
            got = [i for i in range(1, 110) if s in items[i][field]]
            check(len(got) == n, "%s list of scale %d has %d items, want %d" % (field, s, len(got), n))
            out.append((s, got))
        return out
    t["sig"] = listing("sig", SIG_ORDER)
    t["floorA"] = listing("floorA", FLOOR_A)
    t["floorD"] = listing("floorD", FLOOR_D)
    t["narr"] = listing("narr", NARR)
    # Norms.
    norms = []
    for sex, race, label, fac in GROUPS:
        per = {}
        for s in SCALES:
            base, k = CURVE[s]
            sc = base * fac[s - 1]
            m = t["max_raw"][s]
            vals, last = [], 0
            for r in range(1, m + 1):
                p = int(round(100.0 * (1.0 - math.exp(-((r / sc) ** k)))))
                p = max(last, min(99, p))
                vals.append(p)
                last = p
            vals[-1] = 99
            per[s] = vals
        norms.append((label, per))
    t["norms"] = norms
    # Texts.
    sig_lines = []
    for s, lst in t["sig"]:
        for i in lst:
            sig_lines.append("%3d. %s (%s)" % (i, items[i]["text"], items[i]["keyed"]))
    t["sig_text"] = sig_lines
    t["choice_text"] = ["%3d. %s" % (i, items[i]["choices"][a]) for i in range(98, 110) for a in range(4)]
    return t


def q(s):
    check('"' not in s, "double quote inside a quoted field: %r" % s)
    return '"' + s + '"'


def rows_of(nums, per=10):
    return [",".join(str(n) for n in nums[k:k + per]) for k in range(0, len(nums), per)]


def render_b(t):
    L = []
    L += rows_of([i for _, lst in t["sig"] for i in lst])
    L += [q(k) for k in t["keys"]]
    for label, per in t["norms"]:
        L.append(q(label))
        for s in SCALES:
            L.append(q(SCALE_NAMES[s - 1]) + "," + str(len(per[s])))
            L += rows_of(per[s], 20)
    L.append(q("Scale items"))
    for s in SCALES:
        lst = t["scale_items"][s]
        L.append(str(len(lst)))
        L += rows_of(lst)
    L.append(q("Floor items A"))
    L += rows_of([i for _, lst in t["floorA"] for i in lst])
    L.append(q("Floor items D"))
    L += rows_of([i for _, lst in t["floorD"] for i in lst])
    L.append(q("Truthfulness corrections"))
    for s in SCALES:
        L.append(",".join(str(v) for v in TRUTH_CORRECTION[s]))
    L.append(q("Narrative items"))
    for _, lst in t["narr"]:
        L += rows_of(lst, 15)
    return "\n".join(L) + "\n"


def render_rpt(t):
    L = [",".join(q(n) for n in SCALE_NAMES), ",".join(q(n) for n in RANGE_NAMES),
         "Quillmere (QLM) report texts",
         "Generated by scripts/tables/make_tables.py from data/items/design.tsv",
         "Next: 55 significant item lines (Alcohol, Drugs, Antisocial, Violence),",
         "then 48 answer lines, four for each of items 98 to 109."]
    L += t["sig_text"] + t["choice_text"]
    return "\n".join(L) + "\n"


# ------------------------------------------------------------ read back ----

class Reader:
    """Reads fields and lines the way the program does."""

    def __init__(self, text):
        self.s, self.p = text, 0

    def field(self):
        s = self.s
        while self.p < len(s) and s[self.p] == " ":
            self.p += 1
        check(self.p < len(s), "read back: file ends early")
        if s[self.p] == '"':
            e = s.find('"', self.p + 1)
            check(e >= 0, "read back: unclosed quote")
            val, self.p = s[self.p + 1:e], e + 1
            check(self.p >= len(s) or s[self.p] in ",\n", "read back: junk after quoted field")
        else:
            e = self.p
            while e < len(s) and s[e] not in ",\n":
                e += 1
            val, self.p = s[self.p:e], e
        if self.p < len(s) and s[self.p] in ",\n":
            self.p += 1
        return val

    def number(self):
        v = self.field()
        check(v.lstrip("-").isdigit(), "read back: %r is not a whole number" % v)
        return int(v)

    def line(self):
        check(self.p < len(self.s), "read back: file ends early")
        e = self.s.find("\n", self.p)
        e = len(self.s) if e < 0 else e
        v, self.p = self.s[self.p:e], e + 1
        return v

    def at_end(self):
        return self.p >= len(self.s)


def verify(items, rpt, b):
    for name, text in (("QLMRPT.TXT", rpt), ("QLMB.TXT", b)):
        check(all(32 <= ord(ch) < 127 or ch == "\n" for ch in text), name + ": non-ASCII or control char")
    # QLMRPT.TXT
    r = Reader(rpt)
    names = [r.field() for _ in range(5)]
    ranges = [r.field() for _ in range(4)]
    check(names == list(SCALE_NAMES) and ranges == list(RANGE_NAMES), "QLMRPT: names read back wrong")
    check(all(0 < len(n) <= 20 for n in names + ranges), "QLMRPT: a name is longer than 20")
    for n in names:
        head = " " * 7 + n + " SCALE: " + max(ranges, key=len) + " RISK RANGE"
        check(len(head) < 60, "QLMRPT: narrative heading for %s reaches column 61" % n)
    for _ in range(4):
        r.line()
    sig_text = [r.line() for _ in range(55)]
    choice_text = [r.line() for _ in range(48)]
    check(r.at_end(), "QLMRPT: text after the last answer line")
    for ln in sig_text + choice_text:
        check(0 < len(ln) <= 36, "QLMRPT: line longer than 36: %r" % ln)
    # QLMB.TXT
    r = Reader(b)
    sig = [r.number() for _ in range(55)]
    keys = [r.field() for _ in range(8)]
    for k, key in enumerate(keys):
        want = 97 if k < 3 else 12
        check(len(key) == want and all(ch in "01234" for ch in key), "QLMB: key %d malformed" % k)
    check(set(keys[0]) == {"0"} and set(keys[3]) == {"0"}, "QLMB: omitted-answer keys must be all zero")

    def points(item, a):
        return int(keys[a][item - 1]) if item <= 97 else int(keys[3 + a][item - 98])

    def deviant(item):
        return max(points(item, a) for a in ((1, 2) if item <= 97 else (1, 2, 3, 4)))
    max_raw = None
    for label, _ in GROUPS_LABELS():
        r.field()
        got = {}
        for s in SCALES:
            r.field()
            m = r.number()
            vals = [r.number() for _ in range(m)]
            check(1 <= m <= 100, "QLMB: MaxRaw %d out of range" % m)
            check(all(0 <= v <= 99 for v in vals), "QLMB: percentile out of 0..99")
            check(all(vals[k] <= vals[k + 1] for k in range(m - 1)), "QLMB: norms decrease (%s scale %d)" % (label, s))
            check(vals[-1] == 99, "QLMB: norms of %s scale %d do not reach 99" % (label, s))
            got[s] = m
        if max_raw is None:
            max_raw = got
        check(got == max_raw, "QLMB: MaxRaw differs between norm groups")
    check(max_raw[1] < 99, "QLMB: Truthfulness MaxRaw must be below 99")
    r.field()
    scale_items = {}
    for s in SCALES:
        n = r.number()
        check(1 <= n <= 30, "QLMB: scale %d has %d items" % (s, n))
        lst = [r.number() for _ in range(n)]
        check(all(1 <= i <= 109 for i in lst) and len(set(lst)) == n, "QLMB: bad item list of scale %d" % s)
        scale_items[s] = lst
        reach = sum(deviant(i) for i in lst) + EXTRA_POINTS[s]
        check(max_raw[s] >= reach, "QLMB: MaxRaw of scale %d below reachable %d" % (s, reach))
    r.field()
    floor_a = [r.number() for _ in range(75)]
    r.field()
    floor_d = [r.number() for _ in range(14)]
    r.field()
    for s in SCALES:
        row = [r.number() for _ in range(9)]
        if s == 1:
            check(set(row) == {0}, "QLMB: Truthfulness correction row must be zero")
    r.field()
    narr_a = [r.number() for _ in range(12)]
    narr_d = [r.number() for _ in range(15)]
    check(r.at_end(), "QLMB: data after the narrative items")

    def check_list(lst, order, what, ok):
        k = 0
        for s, n in order:
            part = lst[k:k + n]
            k += n
            check(len(set(part)) == n, "%s of scale %d: repeated item" % (what, s))
            for i in part:
                check(i in scale_items[s], "%s: item %d not on scale %d" % (what, i, s))
                check(ok(deviant(i)), "%s: item %d earns %d points" % (what, i, deviant(i)))
    check_list(sig, SIG_ORDER, "significant items", lambda p: p > 0)
    check_list(floor_a, FLOOR_A, "FloorItemsA", lambda p: p in (2, 3, 4))
    check_list(floor_d, FLOOR_D, "FloorItemsD", lambda p: p == 1)
    check_list(narr_a + narr_d, NARR, "narrative items", lambda p: p > 0)
    check(not set(narr_a + narr_d) & set(ANSWER_SCORED_MC), "narrative items must not list 102 or 103")
    for i in ANSWER_SCORED_MC:
        check(i in scale_items[2] and i in scale_items[3], "item %d must be on Alcohol and Drugs" % i)
    # Item 102: 1 alcohol, 2 drugs, 3 both, 4 neither; 103: 1 alcohol, 2 drugs, 3 mostly alcohol.
    p102 = [points(102, a) for a in range(1, 5)]
    p103 = [points(103, a) for a in range(1, 5)]
    check(p102[0] == 2 and p102[1] == 2 and p102[2] > 0 and p102[3] == 0, "item 102 key %r" % p102)
    check(p103[0] == 3 and p103[1] == 2 and p103[2] >= 1 and p103[3] == 0, "item 103 key %r" % p103)
    # Listing lines carry their item number.
    for k, i in enumerate(sig):
        check(sig_text[k].startswith("%3d. " % i), "significant line %d does not match item %d" % (k + 1, i))
    for k, ln in enumerate(choice_text):
        check(ln.startswith("%3d. " % (98 + k // 4)), "answer line %d has the wrong item number" % (k + 1))


def GROUPS_LABELS():
    return [(g[2], g) for g in GROUPS]


def main():
    try:
        items = read_design()
        read_item_file("English.tsv", "True", "False")
        read_item_file("Spanish.tsv", "Verdadero", "Falso")
        t = build(items)
        rpt, b = render_rpt(t), render_b(t)
        verify(items, rpt, b)
    except TableError as e:
        print("make_tables: ERROR: %s" % e, file=sys.stderr)
        return 1
    for name, text in (("QLMRPT.TXT", rpt), ("QLMB.TXT", b)):
        with open(os.path.join(DATA, name), "w", encoding="ascii", newline="\n") as f:
            f.write(text)
    print("make_tables: wrote QLMRPT.TXT and QLMB.TXT")
    for s in SCALES:
        print("  scale %d %-12s items %2d  MaxRaw %3d" % (s, SCALE_NAMES[s - 1], len(t["scale_items"][s]), t["max_raw"][s]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
