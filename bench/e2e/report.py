"""Merges the end-to-end figures into the benchmark's JSON, rewrites the figures table of
bench/README.md (between its two marker lines) and writes the data and scripts of the throughput
and latency plots. With BASELINE_JSON (a `--keys-only` run of an older panel in the same script
run) its key latencies are shown beside the new ones.
Usage: report.py FIGURES_JSON E2E_JSON README BUILD_DIR [BASELINE_JSON]"""
import datetime
import json
import sys

figures_path, e2e_path, readme_path, build = sys.argv[1:5]
figures = json.load(open(figures_path))
e2e = json.load(open(e2e_path))
baseline = json.load(open(sys.argv[5])) if len(sys.argv) > 5 else None
if baseline:
    e2e["baseline"] = baseline
with open("/proc/loadavg") as f:
    e2e["load_average_15min"] = float(f.read().split()[2])
figures.update(e2e)
json.dump(figures, open(figures_path, "w"), indent=1, sort_keys=True)

sizes = sorted(e2e["e2e_stream_mbps"], key=int)
idle_p99 = e2e["key_latency_p99_ms"]
pacing_ms = 16


def verdict(ok):
    return "met" if ok else "**not met**"


# (figure, value, goal, met or None when the figure has no goal)
rows = []
for s in sizes:
    ratio = e2e["e2e_stream_mbps"][s] / e2e["raw_pipe_mbps"][s]
    rows.append((f"`e2e_stream_mbps` / `raw_pipe_mbps`, {s} B writes",
                 f"{e2e['e2e_stream_mbps'][s]:.2f} / {e2e['raw_pipe_mbps'][s]:.2f} = {ratio:.2f}", ">= 0.8",
                 ratio >= 0.8))


def beside(name, floor, digits=2):
    return f"{e2e[name]:.{digits}f} / {e2e[floor]:.{digits}f}"


paint_p50, paint_floor_p50 = e2e["paint_ms_p50"], e2e["paint_floor_ms_p50"]
display_p99, display_floor_p99 = e2e["display_latency_ms_p99"], e2e["display_latency_floor_ms_p99"]
flood_display_p99 = e2e["flood_display_latency_ms_p99"]
pipe_p99 = e2e["pipe_latency_ms_p99"]
rows += [
    ("`paint_ms_p50` / `paint_floor_ms_p50`", f"{beside('paint_ms_p50', 'paint_floor_ms_p50')} = "
     f"{paint_p50 / paint_floor_p50:.2f}", "<= 1.5", paint_p50 <= 1.5 * paint_floor_p50),
    ("`paint_ms_p99` / `paint_floor_ms_p99`", beside("paint_ms_p99", "paint_floor_ms_p99"), "", None),
    ("the panel's window alone (keys and status bar not repainted), ms p50 / p99",
     beside("paint_frame_only_ms_p50", "paint_frame_only_ms_p99"), "", None),
    ("CPU per full paint, ms (10 ms ticks over all paints): the panel / the floor window",
     beside("paint_cpu_ms", "paint_floor_cpu_ms"), "", None),
    ("`display_latency_ms_p50` / `display_latency_floor_ms_p50`",
     beside("display_latency_ms_p50", "display_latency_floor_ms_p50"), "", None),
    ("`display_latency_ms_p99` / `display_latency_floor_ms_p99`",
     f"{beside('display_latency_ms_p99', 'display_latency_floor_ms_p99')} = {display_p99 / display_floor_p99:.2f}",
     "<= 1.5", display_p99 <= 1.5 * display_floor_p99),
    ("`flood_display_latency_ms_p99` (p50)",
     f"{flood_display_p99:.2f} ({e2e['flood_display_latency_ms_p50']:.2f})",
     f"<= floor's idle p99 + {pacing_ms} = {display_floor_p99 + pacing_ms:.2f}",
     flood_display_p99 <= display_floor_p99 + pacing_ms),
    (f"the floor window under the same flood, ms p99 (p50), at {e2e['flood_floor_mbps']:.1f} MB/s",
     f"{e2e['flood_display_latency_floor_ms_p99']:.2f} ({e2e['flood_display_latency_floor_ms_p50']:.2f})", "", None),
    ("display samples not shown within 2 s, idle / flood / floor flooded",
     f"{e2e['display_samples_lost']:.0f} / {e2e['flood_display_samples_lost']:.0f} / "
     f"{e2e['flood_display_floor_samples_lost']:.0f}", "0",
     e2e["display_samples_lost"] + e2e["flood_display_samples_lost"] == 0),
    (f"`key_latency_p99_ms` / `pipe_latency_ms_p99` ({e2e['key_latency_samples']:.0f} samples)",
     f"{idle_p99:.2f} / {pipe_p99:.2f} = {idle_p99 / pipe_p99:.2f}", "<= 2", idle_p99 <= 2 * pipe_p99),
    ("key latency idle, ms p50 / p99.9", beside("key_latency_p50_ms", "key_latency_p999_ms"), "", None),
    ("pipe latency, ms p50 / p99.9", beside("pipe_latency_ms_p50", "pipe_latency_ms_p999"), "", None),
    ("posted key-down alone, ms p50: the panel / the floor window (`key_floor_latency_ms_p50`)",
     beside("key_latency_p50_ms posted key-down", "key_floor_latency_ms_p50"), "", None),
    ("posted key-down alone, ms p99: the panel / the floor window (`key_floor_latency_ms_p99`)",
     beside("key_latency_p99_ms posted key-down", "key_floor_latency_ms_p99"), "", None),
    ("the floor window's key, ms p99.9", f"{e2e['key_floor_latency_ms_p999']:.2f}", "", None),
    (f"`flood_key_latency_p99_ms` ({e2e['flood_key_latency_samples']:.0f} samples)",
     f"{e2e['flood_key_latency_p99_ms']:.2f}", f"<= 3 x idle p99 = {3 * idle_p99:.2f}",
     e2e["flood_key_latency_p99_ms"] <= 3 * idle_p99),
    ("key latency under the flood, ms p50 / p99.9", beside("flood_key_latency_p50_ms", "flood_key_latency_p999_ms"),
     "", None),
    ("flood throughput into the panel, MB/s", f"{e2e['flood_mbps']:.2f}", "", None),
]
if baseline:
    for label, key in (("idle", "key_latency"), ("under the flood", "flood_key_latency")):
        new = [e2e[f"{key}_{p}_ms"] for p in ("p50", "p99", "p999")]
        old = [baseline[f"{key}_{p}_ms"] for p in ("p50", "p99", "p999")]
        rows.append((f"key latency {label}, ms p50 / p99 / p99.9: this panel, the baseline panel",
                     " / ".join(f"{v:.2f}" for v in new) + ", " + " / ".join(f"{v:.2f}" for v in old),
                     "p99 <= baseline's", new[1] <= old[1]))
rows += [
    ("`idle_cpu_ms_per_10s`", f"{e2e['idle_cpu_ms_per_10s']:.0f}", "< 20", e2e["idle_cpu_ms_per_10s"] < 20),
    ("`broken_pipe_cpu_ms_per_10s`", f"{e2e['broken_pipe_cpu_ms_per_10s']:.0f}", "< 20",
     e2e["broken_pipe_cpu_ms_per_10s"] < 20),
    ("busy CPU (check of the CPU reading: 1 KB stream), ms per 10 s", f"{e2e['busy_cpu_ms_per_10s']:.0f}", "", None),
    ("`peak_working_set_mb`", f"{e2e['peak_working_set_mb']:.1f}", "", None),
    ("handles before / after the streams", f"{e2e['handles_before']:.0f} / {e2e['handles_after']:.0f}", "", None),
    ("close after the pipe broke, ms", f"{e2e['broken_pipe_close_ms']:.1f}", "", None),
]
stamp = datetime.datetime.fromtimestamp(__import__("os").path.getmtime(e2e_path), datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
table = [f"Latest run: {stamp}, {e2e['stream_mb']:.0f} MB streams, {e2e['repetitions']:.0f} repetitions, "
         f"15-minute load average {e2e['load_average_15min']:.2f} on 2 cores."
         + (f" Baseline panel: `{baseline['panel_dir']}`." if baseline and "panel_dir" in baseline else ""), "",
         "| Figure | Value | Goal | |", "|---|---|---|---|"]
for name, value, goal, ok in rows:
    table.append(f"| {name} | {value} | {goal} | {'' if ok is None else verdict(ok)} |")

begin, end = "<!-- figures: written by scripts/bench --e2e -->", "<!-- /figures -->"
text = open(readme_path).read()
head, rest = text.split(begin, 1)
_, tail = rest.split(end, 1)
open(readme_path, "w").write(head + begin + "\n" + "\n".join(table) + "\n" + end + tail)

with open(f"{build}/throughput.dat", "w") as f:
    f.write("# write_bytes e2e_mbps raw_mbps\n")
    for s in sizes:
        f.write(f"{s} {e2e['e2e_stream_mbps'][s]} {e2e['raw_pipe_mbps'][s]}\n")
with open(f"{build}/throughput.gp", "w") as f:
    f.write(f"""set terminal pngcairo size 720,420 noenhanced font "DejaVu Sans,10"
set output "e2e-throughput.png"
set title "quorvex.exe under Wine: stream throughput against write size ({stamp})"
set xlabel "bytes per write of the control"
set ylabel "MB/s (10^6 bytes per second, log scale)"
set logscale x 2
set xrange [45:24000]
set xtics ({", ".join(f'"{s}" {s}' for s in sizes)})
set logscale y
set key top left
set grid ytics
set style data linespoints
plot "throughput.dat" using 1:3 title "raw pipe (a reader that only drains)" lw 2 pt 7, \\
     "throughput.dat" using 1:2 title "quorvex.exe end to end" lw 2 pt 5
""")

# Each latency beside its floor, ms.
latency = [
    ("paint p50", "paint_ms_p50", "paint_floor_ms_p50"),
    ("paint p99", "paint_ms_p99", "paint_floor_ms_p99"),
    ("display p50", "display_latency_ms_p50", "display_latency_floor_ms_p50"),
    ("display p99", "display_latency_ms_p99", "display_latency_floor_ms_p99"),
    ("flood display p99", "flood_display_latency_ms_p99", "flood_display_latency_floor_ms_p99"),
    ("key p99", "key_latency_p99_ms", "pipe_latency_ms_p99"),
    ("posted key p99", "key_latency_p99_ms posted key-down", "key_floor_latency_ms_p99"),
    ("key p99.9", "key_latency_p999_ms", "pipe_latency_ms_p999"),
    ("flood key p99", "flood_key_latency_p99_ms", "pipe_latency_ms_p99"),
]
with open(f"{build}/latency.dat", "w") as f:
    f.write("# figure panel floor\n")
    for label, name, floor in latency:
        f.write(f'"{label}" {e2e[name]} {e2e[floor]}\n')
with open(f"{build}/latency.gp", "w") as f:
    f.write(f"""set terminal pngcairo size 820,420 noenhanced font "DejaVu Sans,10"
set output "e2e-latency.png"
set title "quorvex.exe under Wine: latencies beside their floors ({stamp}, load {e2e['load_average_15min']:.2f})"
set ylabel "ms (log scale)"
set logscale y
set style data histograms
set style histogram clustered gap 1
set style fill solid 0.8 border -1
set boxwidth 0.9
set xtics rotate by -20
set key top left reverse Left
set yrange [0.1:300]
set grid ytics
plot "latency.dat" using 2:xtic(1) title "quorvex.exe", \\
     "" using 3 title "floor (bare window; the pipe alone for key p99, p99.9, flood key p99)"
""")
