#!/usr/bin/env python3
"""Lines up the frames of a steady-frames run with the machine's scheduling.

frames.txt: "program|bare|twin <CLOCK_MONOTONIC ns>", one arrival per line.
sched.txt:  perf script --ns -F cpu,time,event,trace of sched_switch,
            sched_waking and workqueue events, on CLOCK_MONOTONIC.

For the program's output thread ("orvane-output") and the bare sender
("bare-sender"): how late each write's run started after its wake-up (the
scheduler's delay), how long it ran, and how long from its end to the frame's
arrival at the reader (the pty's flush work and the reader's wake-up). Then
the latest frames of the program one by one, with what else ran meanwhile.
"""
import re
import sys
from bisect import bisect_left, bisect_right
from collections import defaultdict

SWITCH = re.compile(r"prev_comm=(.*?) prev_pid=(\d+) .*?prev_state=(\S+) ==> "
                    r"next_comm=(.*?) next_pid=(\d+)")
WAKING = re.compile(r"comm=(.*?) pid=(\d+) ")
WORK = re.compile(r"function[= ](\S+)")


def read_frames(path):
    frames = defaultdict(list)
    for line in open(path):
        who, t = line.split()
        frames[who].append(int(t))
    return frames


def read_sched(path):
    runs = []      # (start, end, cpu, comm, pid)
    wakings = defaultdict(list)  # pid -> times
    works = []     # (start, end, cpu, function)
    current = {}   # cpu -> (start, comm, pid)
    open_work = {}
    for line in open(path):
        parts = line.split(None, 3)
        if len(parts) < 4:
            continue
        cpu = int(parts[0].strip("[]"))
        t = int(round(float(parts[1].rstrip(":")) * 1e9))
        event, trace = parts[2].rstrip(":"), parts[3]
        if event == "sched:sched_switch":
            m = SWITCH.search(trace)
            if not m:
                continue
            if cpu in current:
                start, comm, pid = current[cpu]
                runs.append((start, t, cpu, comm, pid))
            current[cpu] = (t, m.group(4), int(m.group(5)))
        elif event == "sched:sched_waking":
            m = WAKING.search(trace)
            if m:
                wakings[int(m.group(2))].append(t)
        elif event == "workqueue:workqueue_execute_start":
            m = WORK.search(trace)
            open_work[cpu] = (t, m.group(1) if m else "?")
        elif event == "workqueue:workqueue_execute_end" and cpu in open_work:
            start, fn = open_work.pop(cpu)
            works.append((start, t, cpu, fn))
    runs.sort()
    works.sort()
    return runs, wakings, works


def pct(values, p):
    if not values:
        return 0.0
    v = sorted(values)
    return v[min(len(v) - 1, int(p / 100.0 * (len(v) - 1) + 0.5))]


def ms(ns):
    return ns / 1e6


def writer_runs(runs, wakings, name):
    """The runs of the named thread with the wake-up that started each."""
    out = []
    for start, end, cpu, comm, pid in runs:
        if comm != name:
            continue
        w = wakings.get(pid, [])
        i = bisect_right(w, start) - 1
        woke = w[i] if i >= 0 and start - w[i] < 50_000_000 else start
        out.append((start, end, cpu, woke))
    return out


def last_run_before(wruns, t):
    starts = [r[0] for r in wruns]
    i = bisect_left(starts, t) - 1
    return wruns[i] if i >= 0 else None


def summary(label, times, wruns, period):
    delay = [r[0] - r[3] for r in wruns]
    run = [r[1] - r[0] for r in wruns]
    path = []
    for t in times:
        r = last_run_before(wruns, t)
        if r:
            path.append(t - r[1])
    dev = [abs(b - a - period) for a, b in zip(times, times[1:])]
    print(f"{label}: {len(times)} frames, period deviation p99 {ms(pct(dev, 99)):.3f} ms, "
          f"worst {ms(max(dev) if dev else 0):.3f} ms")
    print(f"  wake-up to run (scheduler delay): p50 {ms(pct(delay, 50)):.3f} p99 "
          f"{ms(pct(delay, 99)):.3f} worst {ms(max(delay) if delay else 0):.3f} ms")
    print(f"  run per wake-up (the line's calls): p50 {ms(pct(run, 50)):.3f} p99 "
          f"{ms(pct(run, 99)):.3f} worst {ms(max(run) if run else 0):.3f} ms")
    print(f"  end of the write's run to the reader's arrival: p50 {ms(pct(path, 50)):.3f} "
          f"p99 {ms(pct(path, 99)):.3f} worst {ms(max(path) if path else 0):.3f} ms")


def busy(runs, works, start, end):
    """Time each task (and each kind of kernel work) ran between start and end."""
    spent = defaultdict(int)
    for s, e, cpu, comm, pid in runs:
        if e <= start or s >= end or comm == "swapper" or comm.startswith("swapper"):
            continue
        spent[comm] += min(e, end) - max(s, start)
    for s, e, cpu, fn in works:
        if e > start and s < end:
            spent["work:" + fn] += min(e, end) - max(s, start)
    return sorted(spent.items(), key=lambda kv: -kv[1])


def deviation_near(times, t, period):
    """The deviation of the other sender's frame interval around t."""
    i = bisect_left(times, t)
    best = 0
    for k in (i - 1, i, i + 1):
        if 0 < k < len(times) and abs(times[k] - t) < period:
            best = max(best, abs(times[k] - times[k - 1] - period))
    return best


def main():
    frames = read_frames(sys.argv[1])
    runs, wakings, works = read_sched(sys.argv[2])
    program = frames["program"]
    intervals = sorted(b - a for a, b in zip(program, program[1:]))
    period = intervals[len(intervals) // 2] if intervals else 0
    print(f"frame period (median): {ms(period):.3f} ms")
    out_runs = writer_runs(runs, wakings, "orvane-output")
    bare_runs = writer_runs(runs, wakings, "bare-sender")
    summary("program", program, out_runs, period)
    summary("bare sender", frames["bare"], bare_runs, period)
    bare = frames["bare"]
    devs = [(abs(b - a - period), b, a) for a, b in zip(program, program[1:])]
    alone = [d for d in devs if d[0] > 2_000_000 and deviation_near(bare, d[1], period) < d[0] / 2]
    print(f"\nframes of the program more than 2 ms off while the bare sender's were not "
          f"(less than half as far off): {len(alone)} of {sum(d[0] > 2_000_000 for d in devs)}")
    for title, chosen in (("The program's latest frames", sorted(devs, reverse=True)[:6]),
                          ("The program's late frames the bare sender did not share",
                           sorted(alone, reverse=True)[:10])):
        print(f"\n{title}:")
        for dev, t, before in chosen:
            explain(t, before, out_runs, runs, works, bare, period)


def explain(t, before, out_runs, runs, works, bare, period):
    r = last_run_before(out_runs, t)
    print(f"\n  frame at {t / 1e9:.6f} s: {ms(t - before):.3f} ms after the one before; "
          f"the bare sender's nearby: {ms(deviation_near(bare, t, period)):.3f} ms off")
    if r:
        start, end, cpu, woke = r
        print(f"    output thread: woken {ms(t - woke):.3f} ms before the arrival, ran "
              f"{ms(start - woke):.3f} ms after its wake-up on cpu {cpu} for "
              f"{ms(end - start):.3f} ms; the reader got the frame {ms(t - end):.3f} ms "
              "after that run")
    spent = busy(runs, works, before, t)
    top = ", ".join(f"{name} {ms(ns):.2f}" for name, ns in spent[:8])
    print(f"    ran meanwhile (ms): {top}")


if __name__ == "__main__":
    main()
