#!/usr/bin/env python3
"""Feeds the same pseudo-terminal streams to Korvane, GTKTerm and `cat` (the floor), one program
after the other for each scenario, and measures what each costs from /proc. Run it on an X
display (bench/peers/compare.sh does that):
  feed.py --korvane build-release/app/korvane --shim build-release/pty_shim.so --out DIR [--seconds 60]
Writes DIR/results.md (the table) and DIR/results.json, screenshots and program logs in DIR."""

import argparse, collections, datetime, json, os, pathlib, shutil, subprocess
import tempfile, threading, time, tty

CLUSTER = 4096
PERIOD = 0.1  # one cluster every 100 ms in the steady stream
MB = 1024 * 1024
TICK = os.sysconf("SC_CLK_TCK")

# The instrument output of bench/terminal/terminal_scale_bench.cpp: one measuring table every
# 50 MB / 8,000 bytes, result lines between the tables.
PH_HEADER = b"mL           mL             pH           pH       pH/mL"
POINT = b"     12.345      0.050       7.123       0.045      0.900\r\n"
RESULT = b"Result 1   EP1   12.345 mL   pH 7.123   c = 0.1000 mol/L\r\n"


def stretch(headers):
    # Without headers the same bytes stay, with a line no record finder takes for a header.
    header = PH_HEADER if headers else PH_HEADER.replace(b"pH", b"--")
    text = b"\r\nSample 17   Weight 0.2500 g\r\n   " + header + b"\r\n" + POINT * 40 + b"Titration end\r\n"
    while len(text) < 50 * MB // 8000:
        text += RESULT
    return text[: 50 * MB // 8000]


def output(size, headers=True, offset=0):
    """`size` bytes of the endless instrument output, from `offset` on."""
    unit = stretch(headers)
    start = offset % len(unit)
    return (unit * ((start + size) // len(unit) + 1))[start : start + size]


# What a program does with this bench, in /proc.
def cpu(pid):
    fields = pathlib.Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICK  # utime + stime of all threads


def memory_mb(pid):
    status = dict(line.split(":", 1) for line in pathlib.Path(f"/proc/{pid}/status").read_text().splitlines())
    return {key: int(status[key].split()[0]) / 1024 for key in ("VmRSS", "VmHWM")}


def deleted_files_mb(pid):
    # Where a program keeps text outside its memory: VTE's scrollback goes to unlinked temp files.
    total = 0
    for fd in pathlib.Path(f"/proc/{pid}/fd").iterdir():
        try:
            if os.readlink(fd).endswith(" (deleted)"):
                total += os.stat(fd).st_size
        except OSError:
            pass
    return total / MB


class Line:
    """The instrument's end of a raw pseudo-terminal. What the program sends back is read and
    dropped, so that nothing it writes can stall the line."""

    def __init__(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.master)
        self.path = os.ttyname(self.slave)
        threading.Thread(target=self._drain, daemon=True).start()

    def _drain(self):
        try:
            while os.read(self.master, 65536):
                pass
        except OSError:
            pass

    def write(self, data):
        # Blocks while the program does not read: the line gives only as fast as it is taken.
        view = memoryview(data)
        while view:
            view = view[os.write(self.master, view) :]

    def push(self, data, period=None):
        """Writes `data` in 4 KiB clusters, every `period` seconds or as fast as taken. Returns
        how late the last cluster went out against its schedule."""
        start = time.monotonic()
        for k, at in enumerate(range(0, len(data), CLUSTER)):
            if period:
                time.sleep(max(0.0, start + k * period - time.monotonic()))
            self.write(data[at : at + CLUSTER])
        return time.monotonic() - start - (len(data) - 1) // CLUSTER * (period or 0)

    def close(self):
        os.close(self.master)
        os.close(self.slave)


Peer = collections.namedtuple("Peer", "name command env files")


class Program:
    """One program on its own line, with its own home folder, shown on the display."""

    def __init__(self, peer, out):
        self.name, self.line = peer.name, Line()
        self.home = tempfile.mkdtemp(prefix=f"peers-{peer.name}-")
        for path, text in peer.files.items():
            (pathlib.Path(self.home) / path).parent.mkdir(parents=True, exist_ok=True)
            (pathlib.Path(self.home) / path).write_text(text)
        env = {key: value.replace("{port}", self.line.path) for key, value in peer.env.items()}
        env = dict(os.environ, HOME=self.home, TMPDIR=self.home, XDG_DATA_HOME=self.home + "/data", **env)
        argv = [part.replace("{port}", self.line.path) for part in peer.command]
        self.log = open(out / f"{peer.name}.log", "ab")
        self.process = subprocess.Popen(argv, env=env, cwd=self.home, stdout=self.log, stderr=self.log)
        self.pid = self.process.pid
        try:
            self._wait_for_port()
            if self.wait_idle(60) is None:
                raise RuntimeError(f"{self.name} does not settle after start")
        except BaseException:
            self.stop()
            raise

    def _wait_for_port(self):
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            self._check_alive()
            fds = pathlib.Path(f"/proc/{self.pid}/fd")
            for fd in fds.iterdir():
                try:
                    if os.readlink(fd) == self.line.path:
                        return
                except OSError:
                    pass
            time.sleep(0.1)
        raise RuntimeError(f"{self.name} did not open {self.line.path}")

    def _check_alive(self):
        if self.process.poll() is not None:
            raise RuntimeError(f"{self.name} ended with {self.process.returncode}")

    def wait_idle(self, timeout, window=1.0, share=0.05, step=0.05):
        """Waits until the program spends under `share` of a core over `window` seconds; returns
        (time, CPU seconds) where that quiet window began, None on time-out."""
        samples = collections.deque([(time.monotonic(), cpu(self.pid))])
        while samples[-1][0] - samples[0][0] < timeout or len(samples) < 2:
            time.sleep(step)
            self._check_alive()
            samples.append((time.monotonic(), cpu(self.pid)))
            recent = [s for s in samples if s[0] >= samples[-1][0] - window - step / 2]
            if samples[-1][0] - recent[0][0] >= window and samples[-1][1] - recent[0][1] <= share * window:
                return recent[0]
        return None

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        self.line.close()
        self.log.close()
        shutil.rmtree(self.home, ignore_errors=True)


# The scenarios: each takes a started program and returns its figures.
def intake(program, data, timeout, xserver=None):
    """Time until the whole text is taken in: the last write went through (so the program has
    read all but what the line buffers) and the program then stays quiet for a second."""
    start, cpu0 = time.monotonic(), cpu(program.pid)
    x0 = xserver and cpu(xserver)
    program.line.push(data)
    written = time.monotonic() - start
    quiet = program.wait_idle(timeout)
    if quiet is None:
        return {"seconds": None, "written_s": written}
    seconds = quiet[0] - start
    return {"seconds": seconds, "written_s": written, "MB_per_s": len(data) / MB / seconds,
            "cpu_s": quiet[1] - cpu0, "xserver_cpu_s": xserver and cpu(xserver) - x0}


def steady(program, data, xserver):
    """Share of one core while one cluster arrives every 100 ms."""
    start, cpu0, x0 = time.monotonic(), cpu(program.pid), cpu(xserver)
    late = program.line.push(data, PERIOD)
    time.sleep(max(0.0, start + len(data) / CLUSTER * PERIOD - time.monotonic()))
    wall = time.monotonic() - start
    return {"share": (cpu(program.pid) - cpu0) / wall, "xserver_share": (cpu(xserver) - x0) / wall,
            "wall_s": wall, "late_s": late}


def resting(program, seconds, xserver):
    """Share of one core with nothing arriving: what the steady figures stand on."""
    start, cpu0, x0 = time.monotonic(), cpu(program.pid), cpu(xserver)
    time.sleep(seconds)
    wall = time.monotonic() - start
    return {"share": (cpu(program.pid) - cpu0) / wall, "xserver_share": (cpu(xserver) - x0) / wall}


def paced_cost(program, data, timeout):
    """CPU seconds per cluster for clusters arriving every 100 ms, counted until quiet again."""
    cpu0 = cpu(program.pid)
    program.line.push(data, PERIOD)
    quiet = program.wait_idle(timeout)
    return None if quiet is None else (quiet[1] - cpu0) / (len(data) / CLUSTER)


def long_line(program, size, paced, timeout):
    """A line without a break: its first and last `paced` clusters arrive every 100 ms and are
    measured apart; the middle comes as fast as it is taken."""
    cpu0 = cpu(program.pid)
    first = paced_cost(program, b"x" * (paced * CLUSTER), timeout)
    middle = intake(program, b"x" * (size - 2 * paced * CLUSTER), timeout)
    last = paced_cost(program, b"x" * (paced * CLUSTER), timeout)
    return {"first_ms": first and first * 1000, "last_ms": last and last * 1000,
            "middle_s": middle["seconds"], "cpu_s": cpu(program.pid) - cpu0}


# GTKTerm's own default settings in full (given only some, it ignored the scrollback). It keeps 10,000
# lines unless told otherwise; here it keeps the whole stream, as Korvane does.
GTKTERM_CONFIG = """[default]
port = /dev/null
speed = 9600
bits = 8
stopbits = 1
parity = none
flow = none
wait_delay = 0
wait_char = -1
rs485_rts_time_before_tx = 30
rs485_rts_time_after_tx = 30
echo = False
crlfauto = False
timestamp = False
font = "Monospace 12"
term_block_cursor = True
term_rows = 80
term_columns = 25
term_scrollback = {scrollback}
term_visual_bell = True
term_foreground_red = 0.660000
term_foreground_blue = 0.660000
term_foreground_green = 0.660000
term_foreground_alpha = 1.000000
term_background_red = 0.000000
term_background_blue = 0.000000
term_background_green = 0.000000
term_background_alpha = 1.000000
"""


def peers(args):
    gtkterm_config = GTKTERM_CONFIG.format(scrollback=args.scrollback_lines)
    return {
        "Korvane": Peer("Korvane", [os.path.abspath(args.korvane)], {"KORVANE_COM1": "{port}", "QT_QPA_PLATFORM": "xcb"},
                        {}),
        "GTKTerm": Peer("GTKTerm", ["gtkterm", "--port", "{port}"], {"LD_PRELOAD": os.path.abspath(args.shim)},
                        {".config/.gtktermrc": gtkterm_config}),
        "cat": Peer("cat", ["cat", "{port}"], {}, {}),
    }


def holding(args, headers, xserver):
    """Takes in the text as fast as the line gives it, then the steady stream goes on from there."""
    size = args.megabytes * MB
    text, stream = output(size, headers), output(args.seconds * 10 * CLUSTER, headers, size)
    kind = "tables" if headers else "plain"

    def body(program):
        taken = intake(program, text, args.timeout, xserver)
        figures = {f"intake_{kind}": taken}
        if headers:
            figures["memory"] = dict(memory_mb(program.pid), deleted_files_MB=deleted_files_mb(program.pid))
        if program.name != "cat" and taken["seconds"] is not None:
            if headers:
                figures["resting"] = resting(program, 10, xserver)
            figures[f"steady_{kind}"] = steady(program, stream, xserver)
        return figures
    return body


def screenshot(path):
    if shutil.which("import"):
        subprocess.run(["import", "-window", "root", str(path)], check=False)


def versions(korvane):
    def run(*argv):
        return subprocess.run(argv, capture_output=True, text=True, check=False).stdout.strip()
    source = pathlib.Path(korvane).resolve().parent
    return {"Korvane": run("git", "-C", str(source), "log", "-1", "--format=%h %cd", "--date=iso"),
            "GTKTerm": run("dpkg-query", "-W", "-f=${Version} (libvte ", "gtkterm")
            + run("dpkg-query", "-W", "-f=${Version})", "libvte-2.91-0")}


def fmt(value, pattern):
    return "" if value is None else pattern.format(value)


def render(report):
    r, a = report["results"], report["args"]
    names = ["Korvane", "GTKTerm", "cat"]

    def get(name, *keys):
        value = r.get(name, {})
        for key in keys:
            value = value.get(key) if isinstance(value, dict) else None
        return value

    def share_cell(name, kind):
        late = get(name, kind, "late_s")
        return fmt(get(name, kind, "share"), "{:.1%}") + fmt(get(name, kind, "xserver_share"), " (X {:.1%})") + fmt(
            late if late and late > 0.5 else None, ", fell {:.1f} s behind")

    def intake_cell(name, kind):
        return fmt(get(name, f"intake_{kind}", "seconds"), "{:.2f} s") + fmt(
            get(name, f"intake_{kind}", "MB_per_s"), " ({:.1f} MB/s)")

    def memory_cell(name):
        cell = fmt(get(name, "memory", "VmRSS"), "{:.0f}") + fmt(get(name, "memory", "VmHWM"), " / {:.0f} MB")
        return cell + fmt(get(name, "memory", "deleted_files_MB") or None, " + {:.0f} MB in temp files")

    def line_cell(name):
        first, last = get(name, "long_line", "first_ms"), get(name, "long_line", "last_ms")
        return fmt(first, "{:.1f}") + fmt(last, " → {:.1f} ms") + fmt(get(name, "long_line", "cpu_s"), "; {:.1f} s in all")

    mb, n = a["megabytes"], a["paced"]
    rows = [
        (f"CPU (share of one core) while 4 KiB arrives every 100 ms for {a['seconds']} s, holding {mb} MB with "
         f"~{mb * 160} measuring tables", lambda x: share_cell(x, "steady_tables")),
        ("the same with no measuring-table headers in the text", lambda x: share_cell(x, "steady_plain")),
        (f"CPU holding the {mb} MB with tables, nothing arriving for 10 s", lambda x: share_cell(x, "resting")),
        (f"taking in {mb} MB with tables as fast as the line gives it", lambda x: intake_cell(x, "tables")),
        (f"taking in {mb} MB without headers", lambda x: intake_cell(x, "plain")),
        (f"resident memory holding {mb} MB: VmRSS / VmHWM", memory_cell),
        (f"a {a['long_megabytes']} MB line without a break in 4 KiB clusters: CPU per cluster, first {n} → "
         f"last {n}; whole line", line_cell),
    ]
    lines = ["| Measure | " + " | ".join(names) + " |", "|---" * (len(names) + 1) + "|"]
    lines += ["| " + title + " | " + " | ".join((cell(x) or "–") if get(x) else "" for x in names) + " |"
              for title, cell in rows]
    load = " → ".join("{:.2f}".format(x[0]) for x in report["load"])
    notes = ["", "(X …): the X server's share in the same window; both programs paint on it.",
             "Taking in ends when the last write went through and the program then spent under 5 % of a core "
             "for a second.", "GTKTerm keeps its scrollback compressed in unlinked temp files, counted apart."]
    return "\n".join([f"Peers on the same pseudo-terminal streams, {report['when']}, {os.cpu_count()} cores, "
                      f"load average {load}", f"Korvane {report['versions']['Korvane']}; GTKTerm "
                      f"{report['versions']['GTKTerm']}", ""] + lines + notes) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--korvane", required=True, help="the Korvane program")
    parser.add_argument("--shim", required=True, help="pty_shim.so, built from bench/peers/pty_shim.c")
    parser.add_argument("--out", default="peers-results")
    parser.add_argument("--megabytes", type=int, default=50, help="text the terminal holds")
    parser.add_argument("--seconds", type=int, default=60, help="steady stream after it")
    parser.add_argument("--long-megabytes", type=int, default=4, help="the line without a break")
    parser.add_argument("--paced", type=int, default=64, help="clusters measured at each end of that line")
    parser.add_argument("--timeout", type=int, default=600, help="longest wait for a program to go quiet")
    parser.add_argument("--scrollback-lines", type=int, default=4000000)
    parser.add_argument("--only", nargs="*", default=["Korvane", "GTKTerm", "cat"])
    args = parser.parse_args()
    out = pathlib.Path(args.out)
    out.mkdir(parents=True, exist_ok=True)
    display = os.environ["DISPLAY"].split(":")[1].split(".")[0]
    xserver = int(pathlib.Path(f"/tmp/.X{display}-lock").read_text())
    known = peers(args)
    scenarios = [("tables", ["Korvane", "GTKTerm", "cat"], holding(args, True, xserver)),
                 ("plain", ["Korvane", "GTKTerm"], holding(args, False, xserver)),
                 ("longline", ["Korvane", "GTKTerm"], lambda program: {"long_line": long_line(
                     program, args.long_megabytes * MB, args.paced, args.timeout)})]
    results = collections.defaultdict(dict)
    load = [os.getloadavg()]
    # Scenario by scenario, the programs in turn, so that a change of machine load hits all alike.
    for title, names, body in scenarios:
        for name in (x for x in names if x in args.only):
            print(f"== {title}: {name}", flush=True)
            program = Program(known[name], out)
            try:
                results[name].update(body(program))
                if name != "cat":
                    screenshot(out / f"{title}-{name}.png")
            finally:
                program.stop()
    load.append(os.getloadavg())
    report = {"when": datetime.datetime.utcnow().isoformat(timespec="seconds") + "Z", "load": load,
              "args": vars(args), "versions": versions(args.korvane), "results": results}
    (out / "results.json").write_text(json.dumps(report, indent=1))
    table = render(report)
    (out / "results.md").write_text(table)
    print(table)


if __name__ == "__main__":
    main()
