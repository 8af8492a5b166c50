#!/usr/bin/env python3
"""Runs the end-to-end scenarios against a marvolt binary on a virtual X server.

    run_e2e.py MARVOLT [SCENARIO...]

Each test_*.py module beside this file holds scenarios: functions named scenario_* taking
a Session. Without xvfb-run the run is skipped (exit code 77); with no display tools it
fails, since CI installs them."""

import importlib.util
import os
import shutil
import subprocess
import sys
import tempfile
import traceback
import functools

print = functools.partial(print, flush=True)  # noqa: A001 (in order with the tracebacks)

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import marvolt_e2e  # noqa: E402

SKIP = 77


def scenarios():
    found = []
    for name in sorted(os.listdir(HERE)):
        if name.startswith("test_") and name.endswith(".py"):
            source = importlib.util.spec_from_file_location(name[:-3], os.path.join(HERE, name))
            module = importlib.util.module_from_spec(source)
            source.loader.exec_module(module)
            found += [(name[:-3] + "." + f, getattr(module, f)) for f in sorted(vars(module))
                      if f.startswith("scenario_") and callable(getattr(module, f))]
    return found


def run_inside(binary, wanted):
    if not marvolt_e2e.have_display_tools():
        print("e2e: xdotool and ImageMagick's import are needed (scripts/install-deps)")
        return 1
    artifacts = os.environ.get("MARVOLT_E2E_ARTIFACTS") or tempfile.mkdtemp(prefix="marvolt-e2e-artifacts-")
    os.makedirs(artifacts, exist_ok=True)
    failed = 0
    for name, scenario in scenarios():
        if wanted and not any(w in name for w in wanted):
            continue
        workdir = tempfile.mkdtemp(prefix="marvolt-e2e-")
        session = marvolt_e2e.Session(binary, workdir, artifacts)
        try:
            scenario(session)
            print("PASS", name)
        except Exception:
            failed += 1
            print("FAIL", name)
            traceback.print_exc(file=sys.stdout)
            for program in session.started:
                if program.running() and program.window:
                    shot = os.path.join(artifacts, name + ".png")
                    try:
                        program.screenshot(shot)
                        print("  screenshot:", shot)
                    except Exception:
                        pass
        finally:
            session.close()
            with open(os.path.join(workdir, "marvolt.log")) as log:
                output = log.read().strip()
            if output:
                print("  marvolt's output:\n" + output)
            shutil.rmtree(workdir, ignore_errors=True)
    return 1 if failed else 0


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    binary, wanted = os.path.abspath(sys.argv[1]), sys.argv[2:]
    if os.environ.get("MARVOLT_E2E_DISPLAY") == "1":
        return run_inside(binary, wanted)
    xvfb = shutil.which("xvfb-run")
    if not xvfb:
        print("e2e: skipped, xvfb-run is not installed")
        return SKIP
    env = dict(os.environ, MARVOLT_E2E_DISPLAY="1")
    # -noreset: a server that resets when its last client leaves refuses the program
    # started right after one that stopped.
    command = [xvfb, "-a", "-s", "-noreset -screen 0 1024x768x24", sys.executable, os.path.abspath(__file__), binary,
               *wanted]
    return subprocess.run(command, env=env).returncode


if __name__ == "__main__":
    sys.exit(main())
