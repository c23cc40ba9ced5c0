#!/usr/bin/env python3
"""Velpa Player benchmarks: the micro-benchmarks (Google Benchmark) and the
end-to-end comparison with mpv under Xvfb, printed as one table. Every figure
is also printed once as a machine line "bench: NAME=VALUE".

    run.py --build DIR [--short] [--runs N] [--only micro|e2e]

--short runs each benchmark once with short playback windows: it only shows
that everything still builds and runs (CI). The figures of a short run mean
nothing. Exit code 77 when the end-to-end part has nothing to run on (no
Xvfb, mpv or X probe) and was asked for alone.
"""
import argparse
import collections
import json
import math
import os
import random
import shutil
import signal
import socket
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
CLK_TCK = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")


# --- playlists ---------------------------------------------------------------

WORDS = ("Love Night River Blue Dancing Summer Rain Heart Fire Road Moon Golden Silent Wild "
         "Home Dreams Electric Stone Ocean Shadow Light Broken City Time").split()
CYRILLIC = "Ночь Река Лето Дождь Сердце Дорога Луна Звезда Город Ветер".split()
EXTENSIONS = (".mp3", ".flac", ".ogg", ".m4a", ".mp4", ".mkv")


def make_entries(count, root="/home/user"):
    """Entries shaped like a music folder (about 80 characters, one name in
    five Cyrillic, one entry in twenty a link); the same list every time."""
    r = random.Random(20240611)
    out = []
    for _ in range(count):
        artist = r.randrange(5000)
        words = CYRILLIC if r.randrange(5) == 0 else WORDS
        if r.randrange(20) == 0:
            out.append("http://radio.example.net/stream/%d/%s_%s.mp3"
                       % (artist, r.choice(WORDS), r.choice(WORDS)))
            continue
        pick = lambda n: " ".join(r.choice(words) for _ in range(n))
        out.append("%s/Music/%s %d/%s (%d)/%02d - %s%s" % (
            root, pick(1 + r.randrange(2)), artist, pick(1 + r.randrange(3)),
            1960 + r.randrange(64), 1 + r.randrange(19), pick(1 + r.randrange(4)),
            r.choice(EXTENSIONS)))
    return out


def write_home(home, entries, last):
    docs = os.path.join(home, "Documents")
    os.makedirs(docs, exist_ok=True)
    with open(os.path.join(docs, "Velpa.Player.listbox.ini"), "wb") as f:
        f.write("".join(e + "\r\n" for e in entries).encode("utf-8"))
    with open(os.path.join(docs, "Velpa.Player.settings.ini"), "wb") as f:
        f.write(b"[Form]\r\nTop=0\r\nLeft=0\r\n[List]\r\nLast=%d\r\n" % last)


# --- processes ---------------------------------------------------------------

def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLK_TCK


def rss_mib(pid):
    with open("/proc/%d/statm" % pid) as f:
        return int(f.read().split()[1]) * PAGE / 2**20


def cpu_over(pid, seconds):
    """CPU seconds per second of wall time over the next `seconds`."""
    c0, t0 = cpu_seconds(pid), time.monotonic()
    time.sleep(seconds)
    return (cpu_seconds(pid) - c0) / (time.monotonic() - t0)


def settle(pid, quiet=0.02, step=0.25, limit=120.0):
    """Waits until the process has used less than `quiet` CPU seconds per
    second over one step; returns the seconds waited."""
    t0 = time.monotonic()
    while time.monotonic() - t0 < limit:
        if cpu_over(pid, step) < quiet:
            break
    return time.monotonic() - t0


class Probe:
    """One program under the X probe (see e2e/xprobe.cpp)."""

    def __init__(self, probe, argv, env, timeout=60, ready_title=None):
        ready = ["--ready-title", ready_title] if ready_title else []
        self.proc = subprocess.Popen([probe, "--timeout", str(timeout)] + ready + ["--"] + argv,
                                     env=env,
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True)
        self.values = {}
        self.read_until("shown_ms")
        shown = float(self.values["shown_ms"])
        # Shown, and with the start-up work done that the title waits for.
        self.ready_ms = max(shown, float(self.read_until("title_ms"))) if ready_title else shown
        self.pid = int(self.values["pid"])

    def read_until(self, key):
        while key not in self.values:
            line = self.proc.stdout.readline()
            if not line:
                raise RuntimeError("probe ended before %s: %s" % (key, self.values))
            k, _, v = line.strip().partition("=")
            if k == "error":
                raise RuntimeError("probe: %s" % v)
            self.values[k] = v
        return self.values[key]

    def command(self, text, key):
        self.values.pop(key, None)
        self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()
        return self.read_until(key)

    def click(self, x, y):
        self.command("click %d %d" % (x, y), "clicked")

    def video_ms(self):
        return float(self.command("video", "video_ms"))

    def geometry(self):
        w, h = self.command("geometry", "geometry").split("x")
        return int(w), int(h)

    def quit(self):
        try:
            self.proc.stdin.write("quit\n")
            self.proc.stdin.close()
        except BrokenPipeError:
            pass
        self.proc.wait(timeout=30)


class Xvfb:
    def __enter__(self):
        r, w = os.pipe()
        # -noreset: by default the server resets when its last client goes,
        # and refuses connections meanwhile; the next session would not start.
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "1920x1080x24", "-nolisten", "tcp",
             "+extension", "GLX", "-noreset"], pass_fds=(w,), stderr=subprocess.DEVNULL)
        os.close(w)
        with os.fdopen(r) as f:
            self.display = ":" + f.readline().strip()
        return self

    def __exit__(self, *exc):
        self.proc.terminate()
        self.proc.wait(timeout=10)


# --- the micro-benchmarks ----------------------------------------------------

def run_micro(build, short):
    exe = os.path.join(build, "bench", "velpa_bench")
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        args = [exe, "--benchmark_out=" + out.name, "--benchmark_out_format=json"]
        if short:
            args += ["--benchmark_min_time=0.000001"]
        else:
            args += ["--benchmark_repetitions=5", "--benchmark_report_aggregates_only=true"]
        subprocess.run(args, check=True, stdout=sys.stderr)
        data = json.load(open(out.name))
    ms = {}
    for b in data["benchmarks"]:
        if b.get("aggregate_name", "median") != "median":
            continue
        name = b.get("run_name", b["name"]).split("/real_time")[0]
        scale = {"ms": 1.0, "us": 1e-3, "ns": 1e-6}[b["time_unit"]]
        ms[name] = b["real_time"] * scale
    return ms


# --- end to end --------------------------------------------------------------

# mpv's OpenGL output, as the player's: under Xvfb OpenGL is Mesa's software
# renderer, which mpv refuses unless told otherwise.
MPV_GL = ["--vo=gpu", "--gpu-sw=yes"]

# The main window's title once the player has restored its playlist and
# settings: the end of its start-up.
PLAYER_READY_TITLE = "Велпа.Плеер "

# The play button, from the main window's bottom-left corner: the tool bar is
# the window's bottom 46 pixels, and the button the third in it.
PLAY_BUTTON = (124, 25)


def make_clip(path, seconds):
    if os.path.exists(path):
        return
    tmp = path + ".part.mp4"
    subprocess.run(["ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                    "-f", "lavfi", "-i", "testsrc2=size=1920x1080:rate=30",
                    "-f", "lavfi", "-i", "sine=frequency=440:sample_rate=48000",
                    "-t", str(seconds), "-c:v", "libx264",
                    "-preset", "veryfast" if seconds > 10 else "ultrafast", "-crf", "23",
                    "-pix_fmt", "yuv420p", "-c:a", "aac", "-b:a", "128k", tmp], check=True)
    os.rename(tmp, path)


def base_env(display, home):
    env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "XDG_", "MPV_"))}
    runtime = os.path.join(home, "runtime")
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    env.update(DISPLAY=display, HOME=home, XDG_RUNTIME_DIR=runtime, LANG="C.UTF-8",
               QT_QPA_PLATFORM="xcb")
    env.pop("LC_ALL", None)
    return env


def mpv_ipc(sock_path, *command):
    s = socket.socket(socket.AF_UNIX)
    s.connect(sock_path)
    s.sendall((json.dumps({"command": list(command)}) + "\n").encode())
    s.recv(4096)
    s.close()


def run_e2e(build, short, runs, work):
    player = os.path.join(build, "velpa-player")
    probe = os.path.join(build, "bench", "velpa_xprobe")
    play_s, rss_at_s, paused_s = (2, 2, 2) if short else (20, 10, 10)
    clip = os.path.join(build, "bench", "clip-1080p-%ds.mp4" % (8 if short else 32))
    make_clip(clip, 8 if short else 32)

    big = 1_000_000
    entries = make_entries(big)
    clip_row = 50_000
    lists = {
        "100k": entries[:clip_row] + [clip] + entries[clip_row:100_000 - 1],
        "1m": entries[:clip_row] + [clip] + entries[clip_row:big - 1],
        "1": [clip],
    }
    homes = {}
    for name, lst in lists.items():
        homes[name] = os.path.join(work, "home-" + name)
        write_home(homes[name], lst, 0 if name == "1" else clip_row)

    r = {k: [] for k in ("start", "first_frame", "play_cpu", "rss", "paused_cpu",
                         "mpv_start", "mpv_file_frame", "mpv_play_cpu", "mpv_rss",
                         "mpv_paused_cpu", "start_1m", "settle_1m", "rss_1m", "rss_1")}

    def player_session(x, r):
        # The player with 100,000 entries: start, play, pause.
        p = Probe(probe, [player], base_env(x.display, homes["100k"]),
                  ready_title=PLAYER_READY_TITLE)
        try:
            r["start"].append(p.ready_ms)
            settle(p.pid)
            p.click(*PLAY_BUTTON)
            r["first_frame"].append(p.video_ms())
            state["geometry"] = p.geometry()
            t0 = time.monotonic()
            time.sleep(1)
            r["play_cpu"].append(cpu_over(p.pid, play_s))
            time.sleep(max(0.0, rss_at_s - (time.monotonic() - t0)))
            r["rss"].append(rss_mib(p.pid))
            p.click(*PLAY_BUTTON)
            time.sleep(1)
            r["paused_cpu"].append(100 * cpu_over(p.pid, paused_s))
        finally:
            p.quit()

    def mpv_session(x, r):
        # mpv: its idle window, then the clip with the same video output kind
        # (OpenGL) and as large as the player's video area.
        env = base_env(x.display, os.path.join(work, "home-mpv"))
        m = Probe(probe, ["mpv", "--force-window=immediate", "--idle=yes"] + MPV_GL, env)
        r["mpv_start"].append(m.ready_ms)
        m.quit()
        width, height = state["geometry"]
        sock = os.path.join(work, "mpv.sock")
        m = Probe(probe, ["mpv"] + MPV_GL + ["--osc=no", "--keep-open=yes",
                                             "--audio-fallback-to-null=yes", "--really-quiet",
                                             "--input-ipc-server=" + sock,
                                             "--geometry=%dx%d" % (width - 4, height - 70), clip],
                  env)
        try:
            r["mpv_file_frame"].append(m.video_ms())
            t0 = time.monotonic()
            time.sleep(1)
            r["mpv_play_cpu"].append(cpu_over(m.pid, play_s))
            time.sleep(max(0.0, rss_at_s - (time.monotonic() - t0)))
            r["mpv_rss"].append(rss_mib(m.pid))
            mpv_ipc(sock, "set_property", "pause", True)
            time.sleep(1)
            r["mpv_paused_cpu"].append(100 * cpu_over(m.pid, paused_s))
        finally:
            m.quit()

    def memory_session(x, r):
        # The player's memory for a million entries: settled with them,
        # against settled with one.
        for name, key in (("1m", "rss_1m"), ("1", "rss_1")):
            p = Probe(probe, [player], base_env(x.display, homes[name]),
                      ready_title=PLAYER_READY_TITLE)
            try:
                waited = settle(p.pid)
                if name == "1m":
                    r["start_1m"].append(p.ready_ms)
                    r["settle_1m"].append(p.ready_ms + waited * 1000)
                r[key].append(rss_mib(p.pid))
            finally:
                p.quit()

    # The player's window size once it plays, for mpv's; until a session
    # has seen it, the size the player takes for this clip.
    state = {"geometry": (817, 540)}
    with Xvfb() as x:
        failures = 0
        for run in range(runs):
            print("end-to-end run %d of %d" % (run + 1, runs), file=sys.stderr)
            # A session that fails (a window that never shows video, say) is
            # reported and left out; the figures are the medians of the rest.
            for session in (player_session, mpv_session, memory_session):
                try:
                    session(x, r)
                except (RuntimeError, subprocess.TimeoutExpired, OSError) as e:
                    failures += 1
                    print("  %s failed: %s" % (session.__name__, e), file=sys.stderr)
        r["failed_sessions"] = [failures]
    return {k: statistics.median(v) for k, v in r.items() if v}


# --- the table ---------------------------------------------------------------

def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--short", action="store_true")
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--only", choices=("micro", "e2e"))
    a = ap.parse_args()
    runs = 1 if a.short else a.runs

    rows = []  # (label, name, value, unit, goal)

    if a.only != "e2e":
        ms = run_micro(a.build, a.short)
        key = lambda name: max(v for k, v in ms.items() if k.startswith(name))
        rows += [
            ("Load playlist, UTF-8, 100k", "load_100k_ms",
             ms["BM_LoadPlaylist/utf:8/entries:100000"], "ms", None),
            ("Load playlist, UTF-8, 1M", "load_1m_ms",
             ms["BM_LoadPlaylist/utf:8/entries:1000000"], "ms", "<= 500"),
            ("Load playlist, UTF-16, 100k", "load_utf16_100k_ms",
             ms["BM_LoadPlaylist/utf:16/entries:100000"], "ms", None),
            ("Load playlist, UTF-16, 1M", "load_utf16_1m_ms",
             ms["BM_LoadPlaylist/utf:16/entries:1000000"], "ms", None),
            ("Save playlist, UTF-8, 1M (fsync)", "save_1m_ms",
             ms["BM_SavePlaylist/utf:8/entries:1000000"], "ms", "<= 500"),
            ("Save playlist, UTF-16, 1M (fsync)", "save_utf16_1m_ms",
             ms["BM_SavePlaylist/utf:16/entries:1000000"], "ms", None),
            ("Search keystroke, 1M rows (slowest key)", "filter_1m_ms",
             key("BM_SearchKeystroke/"), "ms", "<= 50"),
            ("Next across 100k missing files", "next_100k_missing_ms",
             ms["BM_NextOverMissing/entries:100000"], "ms", "<= 150"),
            ("Restore sequence, 1M entries", "restore_1m_ms",
             ms["BM_RestoreSequence/entries:1000000"], "ms", None),
            ("100 ms tick while paused", "tick_paused_us",
             ms["BM_TickPaused"] * 1000, "us", None),
        ]

    if a.only != "micro":
        probe = os.path.join(a.build, "bench", "velpa_xprobe")
        missing = [t for t in ("Xvfb", "mpv", "ffmpeg") if not shutil.which(t)]
        if not os.path.exists(probe):
            missing.append("velpa_xprobe")
        if missing:
            print("end-to-end comparison skipped: missing %s" % ", ".join(missing))
            if a.only == "e2e":
                return 77
        else:
            with tempfile.TemporaryDirectory(prefix="velpa-e2e-") as work:
                e = collections.defaultdict(lambda: math.nan, run_e2e(a.build, a.short, runs, work))
            mpv_ff = e["mpv_file_frame"] - e["mpv_start"]
            rows += [
                ("Start to window shown, 100k entries restored", "start_ms", e["start"], "ms", None),
                ("mpv --force-window=immediate --idle=yes", "mpv_start_ms", e["mpv_start"], "ms",
                 None),
                ("  ratio", "ratio_start", e["start"] / e["mpv_start"], "", "<= 1.0"),
                ("Play press to first video frame", "first_frame_ms", e["first_frame"], "ms",
                 None),
                ("mpv start to first frame less start-up", "mpv_first_frame_ms", mpv_ff, "ms",
                 None),
                ("  ratio", "ratio_first_frame", e["first_frame"] / mpv_ff, "", "<= 1.1"),
                ("CPU per second of playback", "play_cpu", e["play_cpu"], "s/s", None),
                ("mpv, same output and size", "mpv_play_cpu", e["mpv_play_cpu"], "s/s", None),
                ("  ratio", "ratio_play_cpu", e["play_cpu"] / e["mpv_play_cpu"], "", "<= 1.1"),
                ("Resident memory after 10 s of playback", "rss_mb", e["rss"], "MiB", None),
                ("mpv", "mpv_rss_mb", e["mpv_rss"], "MiB", None),
                ("  ratio", "ratio_rss", e["rss"] / e["mpv_rss"], "", "<= 1.2"),
                ("CPU while paused", "paused_cpu_pct", e["paused_cpu"], "%", "<= 0.5"),
                ("mpv while paused", "mpv_paused_cpu_pct", e["mpv_paused_cpu"], "%", None),
                ("Start to window shown, 1M entries restored", "start_1m_ms", e["start_1m"], "ms", None),
                ("Start to settled, 1M entries", "settle_1m_ms", e["settle_1m"], "ms", None),
                ("Extra memory for 1M entries", "rss_1m_mb", e["rss_1m"] - e["rss_1"], "MiB",
                 "<= 200"),
                ("End-to-end sessions that failed", "failed_sessions", e["failed_sessions"], "",
                 None),
            ]

    width = max(len(r[0]) for r in rows) if rows else 0
    print()
    print("%-*s  %12s  %-4s  %s" % (width, "Benchmark" + (" (short run)" if a.short else ""),
                                    "value", "", "goal"))
    for label, _, value, unit, goal in rows:
        print("%-*s  %12.3f  %-4s  %s" % (width, label, value, unit, goal or ""))
    print()
    for _, name, value, _, _ in rows:
        print("bench: %s=%.3f" % (name, value))
    # A figure that no run produced means a benchmark no longer works.
    return 1 if any(math.isnan(r[2]) for r in rows) else 0


if __name__ == "__main__":
    sys.exit(main())
