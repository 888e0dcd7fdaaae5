#!/usr/bin/env python3
"""Turns a benchmark run into one Markdown table: each figure next to the
baseline its program compares it with, and the ratio of their times.

    bench_report.py RESULTS_DIR OUT.md

RESULTS_DIR holds, per program NAME, NAME.json (Google Benchmark's JSON
output), NAME.log (its console output, the program's own summary included)
and NAME.rc (its exit status). The report is written to OUT.md and printed.
"""

import json
import math
import re
import sys
from pathlib import Path

# Which run each figure is set against, as the programs' own summaries do:
# (program, the figure's name as a pattern, the baseline's name as a re.sub
# template, the time compared). A figure may have several baselines; a run
# that is some figure's baseline, or is named Baseline/..., is not a figure
# itself. Runs of a program not listed here are reported without baseline.
PAIRS = [
    ("serial_bench", r"Memory/(Write|Read|TreeLoad)/(\w+)", r"Baseline/memcpy/\2", "real"),
    ("serial_bench", r"Gzip/Write/(\w+)", r"Baseline/zlib_write/\1", "real"),
    ("serial_bench", r"Gzip/(Read|TreeLoad)/(\w+)", r"Baseline/zlib_read/\2", "real"),
    ("props_bench", r"Show/(\w+)", r"Copy/plain/\1", "real"),
    ("props_bench", r"Show/(\w+)", r"Memcpy/plain/\1", "real"),
    ("props_bench", r"Hide/(\w+)", r"Copy/shown/\1", "real"),
    ("props_bench", r"Hide/(\w+)", r"Memcpy/shown/\1", "real"),
    ("props_bench", r"Container/(Write|Read)", r"Baseline/memcpy/container", "real"),
    ("project_bench", r"Memory/(Save|Load)", r"Baseline/memcpy", "real"),
    ("project_bench", r"Gzip/Save", r"Baseline/zlib_write", "real"),
    ("project_bench", r"Gzip/Load", r"Baseline/zlib_read", "real"),
    ("langmap_bench", r"Build/LangMap", r"Baseline/locale_queries", "real"),
    ("langmap_bench", r"Query/\w+", r"Baseline/hash_find", "real"),
    ("storage_bench", r"Load/CStorage", r"Baseline/bare_scan", "cpu"),
    ("peer_bench", r"ours/(\w+)/(\w+)", r"boost/\1/\2", "real"),
    ("peer_bench", r"ours/(\w+)/(\w+)", r"cereal/\1/\2", "real"),
    ("exchange_bench", r"Export/(\w+)", r"Baseline/fwrite_\1", "cpu"),
    ("exchange_bench", r"Import/xliff", r"Baseline/pugixml_parse", "cpu"),
    ("exchange_bench", r"Walk/units", r"Baseline/walk_texts", "cpu"),
]

# Keys of a JSON run that are not user counters.
STANDARD_KEYS = {
    "name", "family_index", "per_family_instance_index", "run_name", "run_type",
    "repetitions", "repetition_index", "threads", "iterations", "real_time", "cpu_time",
    "time_unit", "bytes_per_second", "items_per_second", "label", "aggregate_name",
    "aggregate_unit", "error_occurred", "error_message", "big_o", "rms",
}

UNIT_SECONDS = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}

# Flags Google Benchmark appends to a name, as in "Load/iterations:1/real_time".
NAME_SUFFIX = re.compile(
    r"/(?:iterations|repeats|min_time|min_warmup_time|threads):[^/]*|/(?:real_time|process_time|manual_time)")


def base_name(run):
    return NAME_SUFFIX.sub("", run.get("run_name", run["name"]))


def load_runs(path):
    """Name -> the run that stands for it: the median of repetitions where
    there is one, else the last single run."""
    data = json.loads(path.read_text())
    runs = {}
    medians = {}
    for run in data.get("benchmarks", []):
        name = base_name(run)
        if run.get("run_type") == "aggregate":
            if run.get("aggregate_name") == "median":
                medians[name] = run
        else:
            runs[name] = run
    runs.update(medians)
    return data.get("context", {}), runs


def seconds(run, which):
    value = run.get("cpu_time" if which == "cpu" else "real_time")
    if value is None or run.get("error_occurred"):
        return None
    return value * UNIT_SECONDS.get(run.get("time_unit", "ns"), 1e-9)


def human(value, unit):
    for factor, prefix in ((1e9, "G"), (1e6, "M"), (1e3, "k")):
        if abs(value) >= factor:
            return f"{value / factor:.2f} {prefix}{unit}"
    return f"{value:.3g} {unit}"


def duration(value):
    for factor, unit in ((1.0, "s"), (1e-3, "ms"), (1e-6, "µs")):
        if value >= factor:
            return f"{value / factor:.3g} {unit}"
    return f"{value / 1e-9:.3g} ns"


def figure(run, which):
    if run.get("error_occurred"):
        return "error: " + run.get("error_message", "?")
    parts = [duration(seconds(run, which)) + (" cpu" if which == "cpu" else "")]
    if "items_per_second" in run:
        parts.append(human(run["items_per_second"], "items/s"))
    if "bytes_per_second" in run:
        parts.append(f"{run['bytes_per_second'] / 1e6:.1f} MB/s")
    for key, value in run.items():
        if key not in STANDARD_KEYS and isinstance(value, (int, float)):
            parts.append(f"{key.replace('_', ' ')} {value:.4g}")
    if run.get("label"):
        parts.append(run["label"])
    return ", ".join(parts)


def cell(text):
    return str(text).replace("|", "\\|")


def rows_for(program, runs):
    """(name, figure, baseline, ratio) for every figure of one program."""
    rules = [(re.compile(p + "$"), t, w) for prog, p, t, w in PAIRS if prog == program]
    pairs = []  # (figure name, baseline name, time compared)
    baselines = set()
    for name in runs:
        for pattern, template, which in rules:
            if pattern.match(name):
                baseline = pattern.sub(template, name)
                pairs.append((name, baseline, which))
                baselines.add(baseline)
    paired = {name for name, _, _ in pairs}
    rows = []
    for name in runs:  # in the program's order
        if name in baselines or name.startswith("Baseline/"):
            continue
        mine = [p for p in pairs if p[0] == name]
        if name not in paired:
            rows.append((name, figure(runs[name], "real"), "-", "-"))
            continue
        for _, baseline, which in mine:
            ours = seconds(runs[name], which)
            base_run = runs.get(baseline)
            base = seconds(base_run, which) if base_run else None
            if base_run is None:
                base_text = f"{baseline} (missing)"
            elif base is None:
                base_text = f"{baseline} ({figure(base_run, which)})"
            else:
                base_text = f"{baseline} ({duration(base)})"
            ratio = f"{ours / base:.2f}x" if ours and base and math.isfinite(ours / base) else "-"
            rows.append((name, figure(runs[name], which), base_text, ratio))
    return rows


def targets(log_path):
    """The lines of a program's own summary that judge a target."""
    if not log_path.exists():
        return []
    # The console reporter colours its lines even into a pipe.
    text = re.sub(r"\x1b\[[0-9;]*m", "", log_path.read_text(errors="replace"))
    lines = text.splitlines()
    return [line.strip() for line in lines if re.search(r"\b(ok|MISSED) \(", line)]


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    results = Path(argv[1])
    out = Path(argv[2])
    programs = sorted({p.stem for p in results.glob("*.json")} |
                      {p.stem for p in results.glob("*.rc")})
    lines = ["# Benchmark report", ""]
    context = None
    table = ["| program | benchmark | figure | baseline | ratio |", "|---|---|---|---|---|"]
    judged = []
    failures = []
    for program in programs:
        rc_path = results / f"{program}.rc"
        rc = rc_path.read_text().strip() if rc_path.exists() else "?"
        if rc != "0":
            failures.append(f"{program} exited with status {rc}")
        json_path = results / f"{program}.json"
        if not json_path.exists() or json_path.stat().st_size == 0:
            failures.append(f"{program} wrote no results")
            continue
        try:
            program_context, runs = load_runs(json_path)
        except (ValueError, KeyError) as error:
            failures.append(f"{program}: unreadable results ({error})")
            continue
        context = context or program_context
        for name, fig, baseline, ratio in rows_for(program, runs):
            table.append(f"| {program} | {cell(name)} | {cell(fig)} | {cell(baseline)} | {ratio} |")
        failures += [f"{program} {name}: {run.get('error_message', 'failed')}"
                     for name, run in runs.items() if run.get("error_occurred")]
        judged += [f"- {program}: {cell(t)}" for t in targets(results / f"{program}.log")]
    if context:
        load = ", ".join(f"{x:.2f}" for x in context.get("load_avg", []))
        lines += [f"{context.get('date', '?')} on {context.get('host_name', '?')}: "
                  f"{context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz, "
                  f"load average {load or '?'}, benchmark library built as "
                  f"{context.get('library_build_type', '?')}.", ""]
    lines += ["Times are per iteration (wall clock unless marked cpu); the ratio is the "
              "figure's time over the baseline's, below 1 faster than the baseline.", ""]
    lines += table
    if judged:
        lines += ["", "## Targets (from each program's own summary)", ""] + judged
    if failures:
        lines += ["", "## Failures", ""] + [f"- {cell(f)}" for f in failures]
    text = "\n".join(lines) + "\n"
    out.parent.mkdir(parents=True, exist_ok=True)
    out.write_text(text)
    print(text, end="")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
