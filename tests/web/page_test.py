#!/usr/bin/env python3
"""The web page in headless Chromium, as the desktop is tested:

- poses: the page's picture of the start pose, the bench pose, the car view and
  the night (headlight on, sun off) against velmora-shot's picture of the same
  pose, under the visual tests' tolerance;
- picks: the page's hit records against the desktop's for the same pose and
  pixels (count and names, in order);
- a person: the right button's menu and "Toggle headlight", a left click on the
  kart on the curve to start and to stop its lap, the arrow keys;
- the numbers: download size, time to the first frame, frame time.

Where the web build or Chromium is missing the test is skipped with the reason
(status 77); under CI (CI=true) that fails instead.
"""

import argparse
import collections
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import devtools  # noqa: E402

WIDTH, HEIGHT = 1300, 1000
SWIFTSHADER = ["--use-angle=swiftshader", "--enable-unsafe-swiftshader"]
LLVMPIPE = ["--use-angle=gl", "--ignore-gpu-blocklist"]

# The cell limit of the comparison per renderer. On llvmpipe, the desktop's
# own rasteriser, the visual tests' limits hold. SwiftShader snaps vertices to
# 1/16 pixel where llvmpipe snaps to 1/256, and the culling's pixel margin is
# tuned to llvmpipe's: slivers of ground it leaves out can cover a pixel row
# there, and its power function rounds highlights differently. A missing
# object, texture or light moves a cell by far more than this.
CELL_LIMITS = {"llvmpipe": None, "SwiftShader": 25}

# Name, the page's address query, velmora-shot's options for the same pose.
POSES = [
    ("start", "frames=1", []),
    ("bench", "view=bench&frames=1", ["--view", "bench"]),
    ("car", "view=car&frames=1", ["--view", "car"]),
    ("night", "headlight=on&sun=off&frames=1", ["--headlight", "on", "--sun", "off"]),
]

failures = []


def check(ok, message):
    print(("ok     " if ok else "FAILED ") + message, flush=True)
    if not ok:
        failures.append(message)


def skip(reason):
    if os.environ.get("CI") == "true":
        print(f"FAILED (CI=true, so not skipped): {reason}")
        sys.exit(1)
    print(f"SKIPPED web_page_test: {reason}")
    sys.exit(77)


def save_png(path, picture):
    with open(path, "wb") as out:
        out.write(devtools.encode_png(*picture))


def region_mean(a, box, b=None):
    """The mean level of picture `a` over every other row of `box` (x0, y0, x1, y1); with
    picture `b`, the mean difference between the two."""
    width, (x0, y0, x1, y1) = a[0], box
    values = []
    for y in range(y0, y1, 2):
        row = slice((y * width + x0) * 3, (y * width + x1) * 3)
        values += [abs(p - q) for p, q in zip(a[2][row], b[2][row])] if b else a[2][row]
    return sum(values) / len(values)


def open_held(browser, base, query):
    browser.open(f"{base}/velmora.html?{query}", WIDTH, HEIGHT)
    browser.wait_for("window.Module && Module.frames >= 1 && Module.calledRun", 90, f"the first frame of ?{query}")
    # One more animation frame, so that the canvas drawn is the one composited.
    browser.evaluate("new Promise(r => requestAnimationFrame(() => requestAnimationFrame(r)))")


def open_running(browser, base):
    browser.open(f"{base}/velmora.html", WIDTH, HEIGHT)
    browser.wait_for("window.Module && Module.frames >= 3", 90, "the running page")


def wait_frames(browser, n):
    frames = browser.evaluate("Module.frames")
    browser.wait_for(f"Module.frames >= {frames + n}", 60, f"{n} more frames")


def menu_item(browser, label):
    """Where to point at the open menus' item `label`."""
    return browser.evaluate("(() => { const li = [...document.querySelectorAll('.menu li')].find(l => "
                            f"l.textContent === '{label}'); const b = li.getBoundingClientRect(); "
                            "return [b.x + 10, b.y + b.height / 2]; })()")


def picks_on_page(browser, clicks):
    return [json.loads(browser.evaluate(f"UTF8ToString(Module._webPickRecords({x}, {y}))")) for x, y in clicks]


def names_of(result):
    return [r["names"] for r in result["records"]]


# Pixels for the picks, counted from the bottom left as gluPickMatrix takes
# them: a grid over the window, and the places of the kart on the curve and the
# signboard in the start pose.
PICK_GRID = [(x, y) for x in range(50, WIDTH, 150) for y in range(60, HEIGHT, 140)]
START_POSE_PICKS = [(646, 469), (640, 460), (660, 700), (660, 900), (628, 475), (690, 480)]


def test_poses(args, browser, base, work, renderer):
    limit = CELL_LIMITS[renderer]
    for name, query, shot_args in POSES:
        expected = os.path.join(work, f"{name}-desktop.png")
        shot = subprocess.run([args.shot, *shot_args, "--size", f"{WIDTH}x{HEIGHT}", expected],
                              capture_output=True, text=True)
        if shot.returncode != 0:
            check(False, f"velmora-shot for the {name} pose: {shot.stderr.strip()}")
            continue
        open_held(browser, base, query)
        page = browser.screenshot()
        actual = os.path.join(work, f"{name}-page-{renderer}.png")
        save_png(actual, page)
        tolerance = ["--cell-limit", str(limit)] if limit else []
        compared = subprocess.run([args.compare, *tolerance, expected, actual], capture_output=True, text=True)
        check(compared.returncode == 0,
              f"{name} pose on {renderer}, page against velmora-shot: {compared.stdout.strip()}")
        if compared.returncode != 0:
            os.makedirs(args.kept, exist_ok=True)
            shutil.copy(expected, args.kept)
            shutil.copy(actual, args.kept)
    # The same tolerance tells a wrong light from a right one: the night page
    # against the desktop's start pose (the sun on, no headlight) must fail.
    wrong = subprocess.run([args.compare, *tolerance, os.path.join(work, "start-desktop.png"),
                            os.path.join(work, f"night-page-{renderer}.png")], capture_output=True, text=True)
    check(wrong.returncode == 1, f"on {renderer}, the night page against the desktop's start pose fails: "
                                 f"{wrong.stdout.strip()}")


def test_picks(args, browser, base):
    found_kart = None
    for name, query, shot_args in POSES[:3]:
        clicks = PICK_GRID + (START_POSE_PICKS if name == "start" else [])
        command = [args.desktop_picks, *shot_args, *(a for x, y in clicks for a in ("--click", f"{x},{y}"))]
        desktop = subprocess.run(command, capture_output=True, text=True)
        if desktop.returncode != 0:
            check(False, f"desktop picks for the {name} pose: {desktop.stderr.strip()}")
            continue
        expected = [json.loads(line) for line in desktop.stdout.splitlines()]
        open_held(browser, base, query)
        actual = picks_on_page(browser, clicks)
        differing = [(c, e, a) for c, e, a in zip(clicks, expected, actual)
                     if e["count"] != a["count"] or names_of(e) != names_of(a)]
        counts = collections.Counter(e["count"] for e in expected)
        detail = "; ".join(f"at {c}: desktop {names_of(e)}, page {names_of(a)}" for c, e, a in differing[:4])
        check(len(expected) == len(clicks) and not differing,
              f"{name} pose, {len(clicks)} picks (hit counts {dict(sorted(counts.items()))}): page's records "
              f"equal the desktop's" + (f"; {len(differing)} differ: {detail}" if differing else ""))
        if name == "start":
            # A pixel where the desktop sees the kart on the curve alone: the click that starts the lap.
            found_kart = next((c for c, e in zip(clicks, expected) if [2] in names_of(e) and e["count"] == 2), None)
    return found_kart


def test_person(browser, base, kart):
    open_running(browser, base)
    # Ground below the horizon, away from the karts and the grass.
    ground = (100, 750, 600, 950)

    # ---- The right button's menu and "Toggle headlight".
    before = browser.screenshot()
    browser.mouse("mousePressed", 650, 500, "right", 2, 1)
    browser.mouse("mouseReleased", 650, 500, "right", 0, 1)
    labels = browser.evaluate("[...document.querySelectorAll('.menu li')].map(li => li.textContent)")
    check(labels == ["Camera", "Lights", "Animations"], f"the right button opens the menu: {labels}")
    check(region_mean(before, (650, 500, 760, 560), browser.screenshot()) > 20, "the menu shows over the canvas")
    browser.mouse("mouseMoved", *menu_item(browser, "Lights"))
    sub = browser.evaluate("[...document.querySelectorAll('.menu')].map(m => m.textContent)")
    check(any("Toggle headlight" in s for s in sub), f"\"Lights\" opens its submenu: {sub[-1] if sub else None}")
    item = menu_item(browser, "Toggle headlight")
    browser.mouse("mouseMoved", *item)
    browser.click(*item)
    wait_frames(browser, 2)
    lit, dim = region_mean(before, ground), region_mean(browser.screenshot(), ground)
    check(browser.evaluate("document.querySelectorAll('.menu').length") == 0, "the menu closes on the choice")
    # The headlight's command lowers the global ambient from 1 to 0.3: the ground darkens.
    check(dim < lit * 0.8, f"\"Toggle headlight\" changes the picture: ground's mean level {lit:.1f} -> {dim:.1f}")

    # ---- The arrow keys walk the camera: the signboard's post and the benches move.
    standing = (560, 450, 950, 700)
    still = browser.screenshot()
    for _ in range(3):
        browser.key("ArrowUp", "ArrowUp", 38)
    wait_frames(browser, 3)
    walked = browser.screenshot()
    moved = region_mean(still, standing, walked)
    check(moved > 5, f"the up arrow walks the camera forward: post and benches changed by {moved:.1f} on average")
    for _ in range(3):
        browser.key("ArrowDown", "ArrowDown", 40)
    wait_frames(browser, 3)
    back = browser.screenshot()
    returned = region_mean(still, standing, back)
    check(returned < moved / 4, f"the down arrow walks it back: post and benches differ by {returned:.1f} from before")

    # ---- A left click on the kart on the curve starts its lap; a second one stops it.
    if kart is None:
        check(False, "the desktop found no pixel with the kart on the curve alone in the start pose")
        return
    x, y_top = kart[0], HEIGHT - 1 - kart[1]
    area = (max(0, x - 120), max(0, y_top - 60), min(WIDTH, x + 120), min(HEIGHT, y_top + 60))
    open_running(browser, base)
    # Pictures of the area alone: the lap moves the kart out of it within seconds.
    whole = (0, 0, area[2] - area[0], area[3] - area[1])
    before = [browser.screenshot(area)]
    wait_frames(browser, 10)
    before.append(browser.screenshot(area))
    still_change = region_mean(before[0], whole, before[1])
    browser.click(x, y_top)
    wait_frames(browser, 1)
    # Stop it while it is still near: a click where the page's own pick finds
    # it, searched for between two frames. It sets off to the left, a fifth of
    # its length or so per frame.
    found = browser.evaluate(f"""(() => {{
        for (let dx = 0; dx >= -200; dx -= 4) {{
          const r = JSON.parse(UTF8ToString(Module._webPickRecords({x} + dx, {kart[1]})));
          if (r.count === 2 && r.records.some(rec => rec.names[0] === 2)) return {x} + dx;
        }}
        return null; }})()""")
    if found is None:
        check(False, "the kart on the curve was not found within 200 pixels of where it stood after the click")
        return
    browser.click(found, y_top)
    wait_frames(browser, 2)
    stopped = [browser.screenshot(area)]
    moved = region_mean(before[1], whole, stopped[0])
    # It stands elsewhere now: the picture round where it stood has changed.
    check(moved > still_change + 0.5,
          f"a click on the kart starts its lap: round where it stood the picture changed by {moved:.1f} "
          f"(standing, over ten frames: {still_change:.1f})")
    wait_frames(browser, 10)
    stopped.append(browser.screenshot(area))
    settled = region_mean(stopped[0], whole, stopped[1])
    check(settled <= still_change + 0.2,
          f"a second click stops it: over ten frames the picture around it changes by {settled:.1f} "
          f"(standing before the first click: {still_change:.1f})")


def test_damaged_file(args, browser, work):
    """A packed picture cut short: the page shows the line the desktop prints, and draws on."""
    victim = "data/wood1.bmp"
    with open(os.path.join(args.page_dir, "velmora.js")) as script:
        text = script.read()
    match = re.search(r'"filename":"/' + re.escape(victim) + r'","start":(\d+),"end":(\d+)', text)
    if not match:
        check(False, f"{victim} is not in the page's package")
        return
    start, end = int(match.group(1)), int(match.group(2))
    # The page's copy: the picture keeps its size but loses everything after its header.
    page_copy = os.path.join(work, "damaged-page")
    shutil.copytree(args.page_dir, page_copy, ignore=shutil.ignore_patterns("em-cache", "CMakeFiles", "*.a"))
    with open(os.path.join(page_copy, "velmora.data"), "r+b") as data:
        data.seek(start + 2)
        data.write(b"\xff" * 12)
    # The desktop's: the same bytes in a data/ of its own.
    desktop_root = os.path.join(work, "damaged-desktop")
    shutil.copytree(os.path.join(os.path.dirname(args.page_dir.rstrip("/")), "data"), os.path.join(desktop_root, "data"))
    with open(os.path.join(desktop_root, victim), "r+b") as picture:
        picture.seek(2)
        picture.write(b"\xff" * 12)
    shot = subprocess.run([args.shot, "--root", desktop_root, os.path.join(work, "unused.png")],
                          capture_output=True, text=True)
    # velmora-shot names itself where the program says "velmora".
    expected = [line.replace("velmora-shot: ", "velmora: ", 1) for line in shot.stderr.splitlines()
                if victim in line and "not used" in line]
    server, base = devtools.serve(page_copy)
    try:
        browser.console.clear()
        browser.open(f"{base}/velmora.html?frames=1", WIDTH, HEIGHT)
        browser.wait_for("window.Module && Module.frames >= 1", 90, "the first frame with a damaged picture")
        shown = browser.evaluate("document.getElementById('status').textContent").splitlines()
    finally:
        server.shutdown()
    check(len(expected) == 1 and expected[0] in shown and expected[0] in browser.console,
          f"a damaged {victim}: the page shows and logs the desktop's line {expected} (page: {shown})")


def test_without_webgl2(args, base):
    """A browser without WebGL 2: a line on the page, not a blank canvas."""
    browser = devtools.Browser(args.chromium, ["--disable-webgl2", *SWIFTSHADER], lambda line: None)
    try:
        browser.open(f"{base}/velmora.html", WIDTH, HEIGHT)
        shown = browser.wait_for("(document.getElementById('status') || {}).textContent", 30, "a line on the page")
    finally:
        browser.close()
    check("no WebGL 2" in shown, f"without WebGL 2 the page says so: {shown!r}")


def measure(browser, base, page_dir, label):
    size = sum(os.path.getsize(os.path.join(page_dir, f"velmora.{e}")) for e in ("html", "js", "wasm", "data"))
    check(size <= 12 * 1024 * 1024, f"download html + js + wasm + data: {size / 1e6:.2f} MB (at most 12 MiB)")
    start = time.time()
    browser.open(f"{base}/velmora.html?frames=1", WIDTH, HEIGHT)
    browser.wait_for("window.Module && Module.frames >= 1", 90, "the first frame")
    first = browser.evaluate("Module.firstFrameAt")
    check(first < 3000, f"first frame {first:.0f} ms after the page began to load ({label}; "
                        f"{(time.time() - start) * 1000:.0f} ms as the test saw it)")
    times = {}
    for name, query in (("start pose", "frames=1"), ("car view", "view=car&frames=1")):
        open_held(browser, base, query)
        browser.evaluate("Module._webTimeFrames(3)")  # warm up
        times[name] = browser.evaluate("Module._webTimeFrames(30)")
        print(f"frame time, {label}, {name}: median {times[name]:.1f} ms of 30", flush=True)
    return times


def desktop_frames(bench):
    """The desktop's culled frame for the same poses, from velmora-bench's frame section."""
    run = subprocess.run([bench, "--only", "frame", "--frames", "20"], capture_output=True, text=True)
    pose, found = None, {}
    for line in run.stdout.splitlines():
        if re.fullmatch(r" \S.*:", line):  # a pose's heading, indented once
            pose = line.strip()[:-1]
        match = re.match(r"\s+full frame, culled\s+median\s+([0-9.]+) ms", line)
        if match:
            found[pose] = float(match.group(1))
    for pose in ("start pose", "car view"):
        print(f"frame time, desktop (velmora-bench, culled, llvmpipe), {pose}: {found[pose]:.1f} ms" if pose in found
              else f"frame time, desktop, {pose}: not found in velmora-bench's output (status {run.returncode})")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--page-dir", required=True, help="the web build: velmora.html, .js, .wasm, .data")
    parser.add_argument("--shot", required=True, help="velmora-shot")
    parser.add_argument("--compare", required=True, help="velmora-web-compare")
    parser.add_argument("--desktop-picks", required=True, help="velmora-web-desktop-picks")
    parser.add_argument("--kept", required=True, help="where pictures of a failed comparison are kept")
    parser.add_argument("--bench", help="velmora-bench, for the desktop's frame time beside the page's")
    parser.add_argument("--chromium", default=os.environ.get("CHROMIUM", "/usr/bin/chromium"))
    parser.add_argument("--only", choices=["poses", "picks", "person", "damaged", "measure"], action="append")
    args = parser.parse_args()

    missing = [f for f in ("velmora.html", "velmora.js", "velmora.wasm", "velmora.data")
               if not os.path.isfile(os.path.join(args.page_dir, f))]
    if missing:
        skip(f"the web build is missing ({', '.join(missing)} in {args.page_dir}); scripts/web --build makes it")
    if not (os.path.isfile(args.chromium) and os.access(args.chromium, os.X_OK)):
        skip(f"no Chromium at {args.chromium} (Debian: apt-get install chromium)")

    only = args.only or ["poses", "picks", "person", "damaged", "measure"]
    server, base = devtools.serve(args.page_dir)
    work = tempfile.mkdtemp(prefix="velmora-web-")
    xvfb = None
    try:
        renderers = [("SwiftShader", SWIFTSHADER, None)]
        if shutil.which("Xvfb"):
            xvfb = devtools.Xvfb()
            renderers.append(("llvmpipe", LLVMPIPE, xvfb.display))
        elif os.environ.get("CI") == "true":
            check(False, "no Xvfb for Chromium on llvmpipe (Debian: apt-get install xvfb)")
        else:
            print("skipped: the runs on llvmpipe, as there is no Xvfb (Debian: apt-get install xvfb)")
        for renderer, flags, display in renderers:
            browser = devtools.Browser(args.chromium, flags, lambda line: None, display)
            try:
                name = browser.evaluate(
                    "(() => { const g = document.createElement('canvas').getContext('webgl2'); "
                    "const i = g && g.getExtension('WEBGL_debug_renderer_info'); "
                    "return g ? (i ? g.getParameter(i.UNMASKED_RENDERER_WEBGL) : 'WebGL 2') : ''; })()")
                print(f"== {renderer}: {name or 'no WebGL 2'}", flush=True)
                if not name:
                    check(False, f"Chromium gives the page no WebGL 2 on {renderer}")
                    continue
                if "poses" in only:
                    test_poses(args, browser, base, work, renderer)
                # The hit records and a person's use need one browser only: they do not depend on rasterisation.
                if renderer == "SwiftShader":
                    kart = None
                    if "picks" in only or "person" in only:
                        kart = test_picks(args, browser, base)
                    if "person" in only:
                        test_person(browser, base, kart)
                    if "damaged" in only:
                        test_damaged_file(args, browser, work)
                        test_without_webgl2(args, base)
                if "measure" in only:
                    measure(browser, base, args.page_dir, renderer)
            finally:
                browser.close()
    finally:
        if xvfb:
            xvfb.close()
        server.shutdown()
        shutil.rmtree(work, ignore_errors=True)
    if "measure" in only and args.bench:
        desktop_frames(args.bench)
    if failures:
        print(f"{len(failures)} check(s) failed; pictures of failed comparisons are in {args.kept}")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
