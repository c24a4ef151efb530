#!/usr/bin/env python3
"""Turns the JSON output of Google Benchmark programs into one Markdown table.

Usage: bench_table.py [--note TEXT] [--build-type TYPE] [--failed NAME:REASON]... FILE.json...

Each FILE is the --benchmark_format=json output of one program; the program column is the
file's name without .json. A program named with --failed gets a row giving the reason
(e.g. "exit status 134"), after whatever complete results its file holds. Standard
library only.
"""

import argparse
import datetime
import json
import math
import os
import sys

# Keys every benchmark entry may carry; anything else numeric is a user counter.
STANDARD_KEYS = {
    "name", "family_index", "per_family_instance_index", "run_name", "run_type",
    "repetitions", "repetition_index", "threads", "iterations", "real_time", "cpu_time",
    "time_unit", "bytes_per_second", "items_per_second", "label", "error_occurred",
    "error_message", "aggregate_name", "aggregate_unit", "big_o", "real_coefficient",
    "cpu_coefficient", "rms", "complexity_n", "skipped", "skip_message",
}

NS_PER_UNIT = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def significant(value, digits=3, strip=False):
    """value with `digits` significant digits (more left of the point), never in exponent
    notation; strip drops trailing zeros after the point."""
    if value == 0 or not math.isfinite(value):
        return "0" if value == 0 else str(value)
    value = float(f"{value:.{digits - 1}e}")  # rounded first, so 999.6 reads 1000
    magnitude = math.floor(math.log10(abs(value)))
    decimals = max(0, digits - 1 - magnitude)
    text = f"{value:.{decimals}f}"
    if strip and "." in text:
        text = text.rstrip("0").rstrip(".")
    return text


def duration(value, unit):
    """A time in the unit Google Benchmark reported it in, shown in the unit that fits."""
    ns = float(f"{value * NS_PER_UNIT.get(unit, 1.0):.2e}")  # 999.6 µs reads 1.00 ms
    for name, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if abs(ns) >= scale:
            return f"{significant(ns / scale)} {name}"
    return f"{significant(ns)} ns"


def rate(value, base, suffix):
    """Per-second rate with a k/M/G prefix; base 1024 gives KiB, MiB, GiB."""
    prefixes = ["", "k", "M", "G", "T"] if base == 1000 else ["", "Ki", "Mi", "Gi", "Ti"]
    i = 0
    value = float(f"{value:.2e}")
    while abs(value) >= base and i < len(prefixes) - 1:
        value /= base
        i += 1
    return f"{significant(value)} {prefixes[i]}{suffix}"


def counter(value):
    if isinstance(value, float) and value.is_integer() and abs(value) < 1e15:
        return str(int(value))
    if isinstance(value, int):
        return str(value)
    return significant(value, 4, strip=True)


def load(path):
    """The benchmark entries and context of one file; ([], {}) when it holds no JSON."""
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except OSError:
        return [], {}
    if not text.strip():
        return [], {}
    try:
        data = json.loads(text)
    except json.JSONDecodeError:
        # A program that dies part-way leaves the array unclosed: keep the entries it
        # finished by closing the array and object at the last complete entry.
        end = text.rfind("}")
        while end > 0:
            try:
                data = json.loads(text[: end + 1] + "]}")
                break
            except json.JSONDecodeError:
                end = text.rfind("}", 0, end)
        else:
            return [], {}
    return data.get("benchmarks", []), data.get("context", {})


def row_for(program, b):
    """One table row (a dict of column -> text) for one benchmark entry."""
    row = {"program": program, "benchmark": b.get("name", "?")}
    unit = b.get("time_unit", "ns")
    extras = []
    if b.get("error_occurred") or b.get("skipped"):
        message = b.get("error_message") or b.get("skip_message") or "failed"
        row["counters"] = f"error: {message}"
        return row
    aggregate = b.get("aggregate_name", "")
    if "big_o" in b and aggregate == "BigO":
        # The fitted coefficient: time per unit of N (or per N lg N, ...).
        complexity = b["big_o"]
        row["time"] = f"{duration(b['real_coefficient'], unit)} × {complexity}"
        row["cpu"] = f"{duration(b['cpu_coefficient'], unit)} × {complexity}"
        return row
    if "rms" in b and aggregate == "RMS":
        row["time"] = f"RMS {significant(b['rms'] * 100, strip=True)} %"
        return row
    if b.get("aggregate_unit") == "percentage":
        # The coefficient of variation: every figure of the row is a ratio.
        def percent(value):
            return f"{significant(value * 100)} %"

        row["time"] = percent(b["real_time"])
        row["cpu"] = percent(b["cpu_time"])
        if "items_per_second" in b:
            row["items"] = percent(b["items_per_second"])
        if "bytes_per_second" in b:
            row["bytes"] = percent(b["bytes_per_second"])
        show = percent
    else:
        # An aggregate's "iterations" is the number of repetitions: left out.
        if b.get("run_type") != "aggregate":
            row["iterations"] = str(b.get("iterations", ""))
        row["time"] = duration(b["real_time"], unit)
        row["cpu"] = duration(b["cpu_time"], unit)
        if "items_per_second" in b:
            row["items"] = rate(b["items_per_second"], 1000, "/s")
        if "bytes_per_second" in b:
            row["bytes"] = rate(b["bytes_per_second"], 1024, "B/s")
        show = counter
    for key, value in b.items():
        if key not in STANDARD_KEYS and isinstance(value, (int, float)) and not isinstance(
            value, bool
        ):
            extras.append(f"{key}={show(value)}")
    if b.get("label"):
        extras.append(str(b["label"]))
    if extras:
        row["counters"] = " ".join(extras)
    return row


def machine_line(context, build_type, note):
    try:
        cpus = len(os.sched_getaffinity(0))
    except AttributeError:
        cpus = os.cpu_count() or 0
    model = "unknown CPU"
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as f:
            for line in f:
                if line.startswith("model name"):
                    model = " ".join(line.split(":", 1)[1].split())
                    break
    except OSError:
        pass
    memory = "? GiB"
    try:
        with open("/proc/meminfo", encoding="utf-8") as f:
            for line in f:
                if line.startswith("MemTotal:"):
                    memory = f"{int(line.split()[1]) / 1024 / 1024:.1f} GiB"
                    break
    except OSError:
        pass
    parts = [f"{cpus} CPUs (nproc)", model, f"{memory} RAM"]
    # The load when the first program started tells how busy the machine was without us.
    load = context.get("load_avg")
    if load:
        parts.append("load " + " ".join(f"{x:.2f}" for x in load) + " at start")
    parts.append(datetime.datetime.now().astimezone().strftime("%Y-%m-%d %H:%M %Z"))
    if build_type:
        parts.append(f"{build_type} build")
    if context.get("cpu_scaling_enabled"):
        parts.append("CPU frequency scaling on")
    line = "Machine: " + ", ".join(parts)
    if note:
        line += f" ({note})"
    return line


COLUMNS = [
    ("program", "program", False),
    ("benchmark", "benchmark", False),
    ("iterations", "iterations", True),
    ("time", "time/iter (wall)", True),
    ("cpu", "CPU/iter", True),
    ("items", "items/s", True),
    ("bytes", "bytes/s", True),
    ("counters", "counters", False),
]


def table(rows):
    """A pipe table padded so it reads as plain text too; empty columns are left out."""
    always = ("program", "benchmark")
    used = [c for c in COLUMNS if c[0] in always or any(r.get(c[0]) for r in rows)]

    def cell(text):
        return text.replace("|", "\\|")

    widths = [
        max([len(title)] + [len(cell(r.get(key, ""))) for r in rows]) for key, title, _ in used
    ]
    lines = []
    header = [title.ljust(w) for (key, title, _), w in zip(used, widths)]
    lines.append("| " + " | ".join(header) + " |")
    rule = [("-" * (w - 1) + ":") if right else "-" * w for (_, _, right), w in zip(used, widths)]
    lines.append("|" + "|".join(f" {r} " for r in rule) + "|")
    for r in rows:
        cells = []
        for (key, _, right), w in zip(used, widths):
            text = cell(r.get(key, ""))
            cells.append(text.rjust(w) if right else text.ljust(w))
        lines.append("| " + " | ".join(cells) + " |")
    return "\n".join(lines)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("files", nargs="*", metavar="FILE.json")
    parser.add_argument("--note", default="", help="text added to the machine line")
    parser.add_argument("--build-type", default="", help="CMAKE_BUILD_TYPE of the programs")
    parser.add_argument(
        "--failed", action="append", default=[], metavar="NAME:REASON",
        help="a program that did not build or did not finish, and why (repeatable)",
    )
    args = parser.parse_args(argv)

    failed = {}
    for item in args.failed:
        name, _, reason = item.partition(":")
        failed[name] = reason or "failed"

    rows = []
    context = {}
    for path in args.files:
        program = os.path.basename(path)
        if program.endswith(".json"):
            program = program[: -len(".json")]
        benchmarks, ctx = load(path)
        context = context or ctx
        rows.extend(row_for(program, b) for b in benchmarks)
        if program in failed:
            rows.append({"program": program, "benchmark": f"({failed.pop(program)})"})
    # Programs that left no file at all: not built, or not found.
    for program, reason in failed.items():
        rows.append({"program": program, "benchmark": f"({reason})"})

    # Programs in name order, each with its rows in the order it ran them.
    rows.sort(key=lambda r: r["program"])
    print(machine_line(context, args.build_type, args.note))
    print()
    if rows:
        print(table(rows))
    else:
        print("(no benchmark results)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
