# SPDX-License-Identifier: MIT
"""Turns the benchmark and accuracy JSON of bench/run.sh into a Markdown
report and a bar chart of the time ratios (ours / peer, log scale).

usage: report.py RESULTS_DIR RESULTS_MD RATIOS_PNG

RESULTS_DIR holds machine.txt, <family>.json from the benchmark executables
(Google Benchmark's JSON), <family>@<target>.json with the toolkit's cases
rerun on a capped vector target, and accuracy.json from the accuracy
executable.
Benchmark names read "<case> @ <implementation>[/settings...]"; the
implementation "ours" is the toolkit.
"""

import json
import math
import os
import sys

FAMILY_ORDER = ["fft", "fftn", "products", "svd", "linsolve", "eigen", "sort", "select",
                "correlation", "gamma_beta_erf", "probability", "random"]
OURS = "ours"


def read_machine(results_dir):
    info = {}
    with open(os.path.join(results_dir, "machine.txt")) as f:
        for line in f:
            key, _, value = line.rstrip("\n").partition("=")
            info[key] = value
    return info


def benchmark_files(results_dir):
    names = [n[:-5] for n in os.listdir(results_dir)
             if n.endswith(".json") and n != "accuracy.json" and "@" not in n]
    known = [f for f in FAMILY_ORDER if f in names]
    return known + sorted(set(names) - set(known))


def seconds(entry, manual):
    """The time of one iteration in seconds: the manual (call-only) time of
    in-place cases, the CPU time of per-call loops."""
    value = entry["real_time"] if manual else entry["cpu_time"]
    scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[entry["time_unit"]]
    return value * scale


def read_timings(results_dir, target=None):
    """[(family, case, impl, seconds)] in the order the cases ran; the median
    of the repetitions where a case was repeated. With a target, the toolkit's
    reruns on that vector target."""
    timings = []
    for family in benchmark_files(results_dir):
        path = os.path.join(results_dir, family + ("@" + target if target else "") + ".json")
        if not os.path.exists(path):
            continue
        if os.path.getsize(path) == 0:
            continue  # --filter matched none of this family's cases
        with open(path) as f:
            data = json.load(f)
        chosen = {}
        order = []
        for entry in data.get("benchmarks", []):
            if "error_occurred" in entry and entry["error_occurred"]:
                continue
            run_name = entry.get("run_name", entry["name"])
            if entry.get("run_type") == "aggregate":
                if entry.get("aggregate_name") != "median":
                    continue
            elif run_name in chosen and chosen[run_name][0] == "median":
                continue
            kind = "median" if entry.get("run_type") == "aggregate" else "iteration"
            if run_name not in chosen:
                order.append(run_name)
            chosen[run_name] = (kind, seconds(entry, "manual_time" in run_name))
        for run_name in order:
            label, _, rest = run_name.partition(" @ ")
            impl = rest.split("/")[0]
            timings.append((family, label, impl, chosen[run_name][1]))
    return timings


def pair_up(timings):
    """[(family, case, peer, ours_s, peer_s)] for every peer of every case."""
    ours = {(fam, case): t for fam, case, impl, t in timings if impl == OURS}
    pairs = []
    for fam, case, impl, t in timings:
        if impl != OURS and (fam, case) in ours:
            pairs.append((fam, case, impl, ours[(fam, case)], t))
    return pairs


def show_time(s):
    for unit, scale in (("s", 1.0), ("ms", 1e-3), ("µs", 1e-6)):
        if s >= scale:
            return f"{s / scale:.3g} {unit}"
    return f"{s / 1e-9:.3g} ns"


def cell(text):
    """Markdown table cell: a literal | would end the cell."""
    return str(text).replace("|", "\\|")


def show_eps(value):
    if value is None:
        return "∞"
    if value == 0:
        return "0"
    return f"{value:.3g}"


def write_chart(pairs, path):
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    labels = [f"{case} vs {peer}" for _, case, peer, _, _ in pairs]
    ratios = [o / p for _, _, _, o, p in pairs]
    height = max(4.0, 0.22 * len(pairs) + 1.2)
    fig, ax = plt.subplots(figsize=(10, height))
    colours = ["#c0392b" if r > 1 else "#27ae60" for r in ratios]
    y = list(range(len(pairs)))
    # Bars grow from parity (1) to the ratio: right when slower, left when faster.
    ax.barh(y, [r - 1.0 for r in ratios], left=1.0, color=colours)
    ax.set_xscale("log")
    ax.axvline(1.0, color="black", linewidth=0.8)
    ax.set_yticks(y)
    ax.set_yticklabels(labels, fontsize=7)
    ax.invert_yaxis()
    ax.set_xlabel("time ratio ours / peer (log scale; < 1: the toolkit is faster)")
    ax.set_title("tissuesteward toolkit against peer libraries, one thread")
    for yi, r in zip(y, ratios):
        ax.text(r, yi, f" {r:.2g}", va="center", fontsize=6)
    ax.grid(axis="x", which="both", linewidth=0.3, alpha=0.5)
    fig.tight_layout()
    fig.savefig(path, dpi=110)


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    results_dir, md_path, png_path = argv[1:]
    machine = read_machine(results_dir)
    pairs = pair_up(read_timings(results_dir))
    targets = [t for t in machine.get("targets", "").split() if t != machine.get("simd")]
    on_target = {t: {(fam, case): s for fam, case, impl, s in read_timings(results_dir, t)
                     if impl == OURS} for t in targets}
    accuracy_path = os.path.join(results_dir, "accuracy.json")
    accuracy = []
    if os.path.exists(accuracy_path):
        with open(accuracy_path) as f:
            accuracy = json.load(f)["rows"]

    out = []
    out.append("# Benchmarks and accuracy")
    out.append("")
    out.append(f"Measured on {machine.get('cpu', '?')}, {machine.get('nproc', '?')} cores, "
               f"{machine.get('date', '?')} to {machine.get('finished', '?')}, at commit "
               f"{machine.get('commit', '?')}; load average (1, 5, 15 min) "
               f"{machine.get('load_before', '?')} before the run and "
               f"{machine.get('load_after', '?')} after it (the run itself keeps one core busy, "
               f"about 1 of that).")
    if machine.get("quick") == "1":
        out.append("")
        out.append("**Smoke run (`--quick`): one short pass per case, figures not meaningful.**")
    out.append("")
    out.append("Produced by `bench/run.sh`. Everything runs on one thread; ours and the peer "
               "see the same seeded input in the same run. Timings are noisy (a shared virtual "
               "machine): read the ratios, not the absolute times. In-place routines are timed "
               "call by call with the input restored outside the timed region; per-call "
               "functions are timed over a cycling table of 1024 arguments. FFTW plans (estimate "
               "and measure) are made before timing. The toolkit and Eigen are compiled for the "
               "baseline x86-64 instruction set (no `-march`), while FFTW and OpenBLAS pick "
               "their vector kernels at run time.")
    out.append("")
    out.append("## Time")
    out.append("")
    out.append("Ratio = ours / peer: above 1 the toolkit is slower. Chart: `bench/ratios.png`.")
    out.append("")
    best = machine.get("simd", "?")
    out.append(f"\"ours\" runs the best vector target of this machine ({best}); each "
               "further column reruns the toolkit capped at one target (`TISSUESTEWARD_SIMD`), "
               "against the same peer time. Every target gives the same bits.")
    out.append("")
    out.append("| case | ours | peer | peer time | ratio |"
               + "".join(f" {t} | {t} ratio |" for t in targets))
    out.append("|---|---:|---|---:|---:|" + "---:|---:|" * len(targets))
    for fam, case, peer, o, p in pairs:
        extra = ""
        for t in targets:
            s = on_target[t].get((fam, case))
            extra += f" {show_time(s)} | {s / p:.3g} |" if s else " — | — |"
        out.append(f"| {case} | {show_time(o)} | {peer} | {show_time(p)} | {o / p:.3g} |" + extra)
    out.append("")
    worst = sorted(pairs, key=lambda x: x[3] / x[4], reverse=True)[:5]
    out.append("Five worst ratios: " + "; ".join(
        f"{case} vs {peer} {o / p:.3g}" for _, case, peer, o, p in worst) + ".")
    out.append("")
    out.append("## Accuracy")
    out.append("")
    out.append("Largest error against a higher-precision truth, in units of single-precision "
               "epsilon (FLT_EPSILON = 2^-23 ≈ 1.19e-7): relative error for scalars, max-norm "
               "error over the max-norm of the truth for arrays (each row says which). "
               "Single-precision peers computing the same thing are shown for scale: a large "
               "error shared by every peer comes from the problem's conditioning.")
    out.append("")
    out.append("| case | metric | truth | ours | peers |")
    out.append("|---|---|---|---:|---|")
    for row in accuracy:
        peers = ", ".join(f"{p['peer']} {show_eps(p['error'])}" for p in row["peers"]) or "—"
        out.append(f"| {cell(row['case'])} | {cell(row['metric'])} | {cell(row['truth'])} | "
                   f"{show_eps(row['ours'])} | {cell(peers)} |")
    out.append("")
    ranked = sorted(accuracy, key=lambda r: math.inf if r["ours"] is None else r["ours"],
                    reverse=True)[:5]
    out.append("Five largest errors of ours: " + "; ".join(
        f"{r['case']} {show_eps(r['ours'])}" for r in ranked) + ".")
    out.append("")

    with open(md_path, "w") as f:
        f.write("\n".join(out))
    if pairs:
        write_chart(pairs, png_path)


if __name__ == "__main__":
    main(sys.argv)
