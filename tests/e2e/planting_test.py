#!/usr/bin/env python3
"""DLLs left beside a download: which of them does velmora.exe load?

Copies the program into a folder of its own with a planted DLL (one that
leaves a marker when loaded and refuses the load) under each name below, and
runs it under Wine told to prefer a native copy of each of those names, as
Windows does for a DLL that is not a KnownDLL, with +loaddll tracing. A name is
taken from the folder when its marker appears or the trace loads it from there.
What a minimal program that loads its DLLs right takes from its folder under
the same Wine is Wine's own doing and allowed; anything velmora.exe takes
beyond that fails. A run of that program without the limit on the search must
be seen taking dwmapi, or the test could not see a planted DLL at all.
Wine's own loads that no program can stop stay out of the planted set:
user32 loads version.dll before any program code, and the builtin comctl32
delay-loads msimg32.dll past the default DLL directories.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run.sh")
PLANTED = ["wininet", "comctl32", "uxtheme", "dwmapi", "cryptbase", "propsys", "userenv", "mpr", "msftedit",
           "riched20", "oleacc"]


def visible_window(pid_hint, timeout):
    """Waits until a visible window of the program's class shows (Wine names the class after the exe)."""
    end = time.time() + timeout
    while time.time() < end:
        out = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", pid_hint],
                             capture_output=True, text=True).stdout.split()
        if out:
            return True
        time.sleep(0.2)
    return False


def taken_from_folder(folder, exe, args, wait_for_window):
    """Runs exe from folder with every planted name there; the planted names it loaded from there."""
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    program = os.path.join(folder, os.path.basename(exe))
    shutil.copy(exe, program)
    for name in PLANTED:
        shutil.copy(ARGS.planted, os.path.join(folder, name + ".dll"))
    env = dict(os.environ, WINEDEBUG="+loaddll", VELMORA_DLLOVERRIDES=",".join(PLANTED) + "=n,b")
    # A session of its own, so that a program stuck at start goes with its script.
    p = subprocess.Popen([WINE_RUN, program] + args, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         cwd=folder, start_new_session=True)
    if wait_for_window:
        seen = visible_window(os.path.basename(exe), 60)
        if not seen:
            print("  FAIL  %s showed no window within 60 s" % exe)
            FAILURES.append(exe)
        time.sleep(3)  # the first page, the skin and the update check load what they load
        p.send_signal(signal.SIGTERM)
    try:
        out, _ = p.communicate(timeout=30)
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        out, _ = p.communicate()
    trace = out.decode("utf-8", "replace")
    # Wine spells the folder as a DOS path: match the file name after any folder of the run.
    base = os.path.basename(folder).lower()
    loaded = set()
    for name in PLANTED:
        if os.path.exists(os.path.join(folder, name + ".dll.loaded")):
            loaded.add(name)
        if re.search(r"Loaded L\"[^\"]*\\\\%s\\\\%s\.dll\"" % (re.escape(base), name), trace, re.IGNORECASE):
            loaded.add(name)
    return loaded


def main():
    global ARGS, FAILURES
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--reference", required=True)
    parser.add_argument("--planted", required=True)
    parser.add_argument("--work", required=True)
    ARGS = parser.parse_args()
    FAILURES = []
    naive = taken_from_folder(os.path.join(ARGS.work, "naive"), ARGS.reference, ["--naive"], False)
    print("  %s  a program that does not limit the search takes dwmapi from its folder: %s"
          % ("ok  " if "dwmapi" in naive else "FAIL", sorted(naive)))
    if "dwmapi" not in naive:
        FAILURES.append("the planted DLLs are not seen")
    wine_own = taken_from_folder(os.path.join(ARGS.work, "reference"), ARGS.reference, [], False)
    print("        taken by a program that does it right (Wine's own): %s" % sorted(wine_own))
    velmora = taken_from_folder(os.path.join(ARGS.work, "velmora"), ARGS.exe, [], True)
    extra = sorted(velmora - wine_own)
    print("  %s  velmora.exe takes nothing more from its folder: %s"
          % ("ok  " if not extra else "FAIL", extra if extra else sorted(velmora)))
    if extra:
        FAILURES.append("velmora.exe loaded %s from its folder" % ", ".join(extra))
    print("%d passed, %d failed" % (max(0, 3 - len(FAILURES)), len(FAILURES)))
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
