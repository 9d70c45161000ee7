"""Merges the end-to-end figures into the benchmark's JSON, rewrites the figures table of
bench/README.md (between its two marker lines) and writes the throughput plot's data and script.
Usage: report.py FIGURES_JSON E2E_JSON README BUILD_DIR"""
import datetime
import json
import sys

figures_path, e2e_path, readme_path, build = sys.argv[1:5]
figures = json.load(open(figures_path))
e2e = json.load(open(e2e_path))
with open("/proc/loadavg") as f:
    e2e["load_average_15min"] = float(f.read().split()[2])
figures.update(e2e)
json.dump(figures, open(figures_path, "w"), indent=1, sort_keys=True)

sizes = sorted(e2e["e2e_stream_mbps"], key=int)
idle_p99 = e2e["key_latency_p99_ms"]


def verdict(ok):
    return "met" if ok else "**not met**"


# (figure, value, goal, met or None when the figure has no goal)
rows = []
for s in sizes:
    ratio = e2e["e2e_stream_mbps"][s] / e2e["raw_pipe_mbps"][s]
    rows.append((f"`e2e_stream_mbps` / `raw_pipe_mbps`, {s} B writes",
                 f"{e2e['e2e_stream_mbps'][s]:.2f} / {e2e['raw_pipe_mbps'][s]:.2f} = {ratio:.2f}", ">= 0.8",
                 ratio >= 0.8))
rows += [
    ("`key_latency_p99_ms` (p50)", f"{idle_p99:.2f} ({e2e['key_latency_p50_ms']:.2f})", "< 2", idle_p99 < 2),
    ("`flood_key_latency_p99_ms` (p50)",
     f"{e2e['flood_key_latency_p99_ms']:.2f} ({e2e['flood_key_latency_p50_ms']:.2f})",
     f"<= 3 x idle p99 = {3 * idle_p99:.2f}", e2e["flood_key_latency_p99_ms"] <= 3 * idle_p99),
    ("flood throughput into the panel, MB/s", f"{e2e['flood_mbps']:.2f}", "", None),
    ("`paint_ms_p99`", f"{e2e['paint_ms_p99']:.2f}", "< 2", e2e["paint_ms_p99"] < 2),
    ("CPU of the panel per full paint, ms (10 ms ticks over 500 paints)", f"{e2e.get('paint_cpu_ms', 0):.2f}", "", None),
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
         f"15-minute load average {e2e['load_average_15min']:.2f} on 2 cores.", "",
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
