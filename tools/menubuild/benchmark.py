"""Runs the benchmark build under Wine on a virtual X server and reports the figures.

    python3 -m menubuild.benchmark <build folder> <runs> [results.json]

The runner (a Windows program) starts the menu and the bare window in turn
and times them through the paint hooks that only the benchmark build has,
at 96 dpi and again at 192 dpi (the session's LogPixels), on a screen large
enough for the 200 % window."""

import json
import os
import platform
import statistics
import subprocess
import sys
import tempfile

from menubuild.winehost import LARGE_SCREEN, Session, must_run, record_skip, unrunnable_reason, windows_path

DENSITIES = (96, 192)


def run_under_wine(build, arch, runs, dpi):
    # The prefix is the tests': the session gives it back its usual desktop and density.
    with Session(os.path.join(build, "wineprefix"), arch, screen=LARGE_SCREEN) as session:
        wine = session.wine
        session.set_density(dpi)
        wine.kill_server()  # the density is taken when the session starts
        with tempfile.TemporaryDirectory() as work:
            out = os.path.join(work, "runs.json")
            with open(os.path.join(work, "stderr"), "w+") as err:
                # Ended by its id whatever happens.
                proc = wine.start(os.path.join(build, "bench_runner.exe"), windows_path(out), str(runs),
                                  windows_path(os.path.join(build, "menu_bench.exe")),
                                  windows_path(os.path.join(build, "bare_window.exe")), stderr=err)
                code = proc.wait(timeout=120 + 30 * runs)
                if code != 0:
                    err.seek(0)
                    raise SystemExit(f"bench_runner failed with status {code}: {err.read().strip()}")
            with open(out) as f:
                return [json.loads(line) for line in f if line.strip()]


def summary(values):
    values = sorted(values)
    return {"median": statistics.median(values), "p90": values[int(0.9 * (len(values) - 1))],
            "min": values[0], "n": len(values)}


def main(build, runs, results_path):
    with open(os.path.join(build, "CMakeCache.txt")) as cache:
        arch = next((line.split("=", 1)[1].strip() for line in cache if line.startswith("VELBROOK_WINEARCH:")),
                    "win32")
    reason = unrunnable_reason(arch)
    if reason and must_run(arch):
        sys.exit(f"Benchmark failed: {reason}: under CI the build that ships must be run")
    if reason:
        record_skip(build, "benchmark", reason)
        print(f"Benchmark skipped: {reason}")
        return
    rows = [row for dpi in DENSITIES for row in run_under_wine(build, arch, runs, dpi)]
    figures = {str(dpi): density_figures([r for r in rows if r["dpi"] == dpi]) for dpi in DENSITIES}
    with open(os.path.join(build, "generated", "product", "product.json"), encoding="utf-8") as f:
        menu = json.load(f)["executable"]
    figures["size_bytes"] = {name: os.path.getsize(os.path.join(build, exe))
                             for name, exe in (("menu", menu), ("bare", "bare_window.exe"))}
    wine_version = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    figures["machine"] = {"arch": arch, "wine": wine_version, "cpu": cpu_name(), "cpus": os.cpu_count(),
                          "kernel": platform.release()}
    with open(results_path, "w") as f:
        json.dump({"figures": figures, "runs": rows}, f, indent=1)
    print(report(figures))


def density_figures(rows):
    """The menu's and the bare window's figures at one density."""
    by = {name: [r for r in rows if r["program"] == name] for name in ("menu", "bare")}
    if not all(by.values()):
        raise SystemExit("the runner timed nothing at one density")
    figures = {}
    for name, items in by.items():
        figures[name] = {
            "start_ms": summary([r["start_ms"] for r in items]),
            "repaint_ms": summary([v for r in items for v in r["repaint_ms"]]),
            "peak_working_set_kib": summary([r["peak_working_set"] / 1024 for r in items]),
        }
        # Medians of when each start-up step ended: entered, created, loaded, shown.
        figures[name]["steps_ms"] = [statistics.median(r["steps_ms"][i] for r in items) for i in range(4)]
    figures["menu"]["hover_on_ms"] = summary([v for r in by["menu"] for v in r["hover_on_ms"]])
    figures["menu"]["hover_off_ms"] = summary([v for r in by["menu"] for v in r["hover_off_ms"]])
    figures["start_ratio"] = figures["menu"]["start_ms"]["median"] / figures["bare"]["start_ms"]["median"]
    figures["repaint_ratio"] = figures["menu"]["repaint_ms"]["median"] / figures["bare"]["repaint_ms"]["median"]
    return figures


def cpu_name():
    try:
        with open("/proc/cpuinfo") as f:
            return next(line.split(":", 1)[1].strip() for line in f if line.startswith("model name"))
    except (OSError, StopIteration):
        return platform.processor()


def report(figures):
    lines = [f"Machine: {figures['machine']['cpu']}, {figures['machine']['cpus']} CPUs, "
             f"Linux {figures['machine']['kernel']}, {figures['machine']['wine']}, {figures['machine']['arch']} build"]
    for dpi in DENSITIES:
        lines += ["", f"At {dpi} dpi ({dpi * 100 // 96} %):"] + density_report(figures[str(dpi)], figures["size_bytes"])
    return "\n".join(lines)


def density_report(f, size):
    def row(label, key, unit="ms", bare=True):
        m, b = f["menu"][key], f["bare"].get(key) if bare else None
        text = f"| {label} | {m['median']:.2f} {unit} (p90 {m['p90']:.2f}, n {m['n']})"
        return text + (f" | {b['median']:.2f} {unit} (p90 {b['p90']:.2f}) |" if b else " | – |")
    lines = ["", "| figure | menu | bare window |", "|---|---|---|",
             row("start to first complete paint", "start_ms"),
             row("one full repaint of the client area", "repaint_ms"),
             row("pointer move onto a language (the cable's English) to its face lit", "hover_on_ms", bare=False),
             row("pointer move off to the normal face painted", "hover_off_ms", bare=False),
             row("peak working set at first paint", "peak_working_set_kib", "KiB"),
             f"| executable size | {size['menu']:,} B | {size['bare']:,} B |",
             "", f"Start-up ratio (menu / bare, medians): {f['start_ratio']:.2f}",
             f"Repaint ratio (menu / the bare window's plain blit of the same area, medians): {f['repaint_ratio']:.2f}",
             "", "Start-up steps, medians in ms after the start (entered the program's code, window created, "
             "load step done, shown and painted synchronously):",
             f"menu {', '.join(f'{v:.1f}' for v in f['menu']['steps_ms'])}; "
             f"bare {', '.join(f'{v:.1f}' for v in f['bare']['steps_ms'])}"]
    return lines


if __name__ == "__main__":
    build = os.path.abspath(sys.argv[1])
    main(build, int(sys.argv[2]), sys.argv[3] if len(sys.argv) > 3 else os.path.join(build, "benchmark.json"))
