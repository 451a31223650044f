#!/usr/bin/env python3
"""Measures how many small, deliberate faults the test suite catches.

Each line of the fault list (scripts/mutations.txt) names a file, a piece of
code that occurs exactly once in it, and what to put in its place:

    apply/progress.cpp |> bytesDone / divisor + 1 |> bytesDone / divisor

Lines that are empty or begin with "#" are skipped; an empty replacement
removes the code. For each fault the file is changed, the programs the tests
run are rebuilt, and the Linux tests run, all but the GUI ones: first the
unit tests (upg_tests), then the other CTest tests. The fault is "killed"
when a test fails (or crashes, or hangs), "survived" when all pass. A fault
whose code is not found exactly once is "stale", one that does not compile
is "no build"; neither counts. The source is put back after every fault,
whatever happens (an interrupted run puts it back when it next starts).

Modes:
  (default)   stop at the first failing test: the verdict alone, fastest.
  --killers   run every unit test case and every CTest test for each fault
              and record which fail, so that one can see which cases carry
              which kills.
  --check     only check the list: each piece of code found exactly once,
              each changed file still compiles (no tests run).
  --summary TSV  summarise a results file written by --out.

The unchanged tree must build and pass first; the results go to --out as a
TSV, one line per fault, written as the run goes, so that --resume can carry
on a run that was stopped.

usage: scripts/mutation-test.py [--build DIR] [--list FILE] [--out TSV]
                                [--only N[,N...]] [--killers | --check]
       scripts/mutation-test.py --out TSV --resume [...]
       scripts/mutation-test.py --summary TSV
"""
import argparse
import collections
import json
import os
import pathlib
import re
import shlex
import signal
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent
SEPARATOR = " |>"
# What the Linux tests run: the unit tests, both programs, upgtool, and the
# demo package, the lenient-package maker and the rename-failing library that
# the end-to-end scripts use.
TARGETS = ["upg_tests", "upgapply", "upgtool", "make_demo", "make_lenient_package", "failing_rename"]
# Making the demo package replays it through the engine, so it refuses some
# faults itself. That is a build step, not a test: it is noted beside the
# tests' failures but decides no verdict, and the tests then run on the demo
# package that the unchanged tree made.
DEMO = "demo"
DEMO_REFUSED = "demo (build step)"
# The CTest tests that run upg_tests itself; the script runs it directly.
UNIT_TEST_NAMES = "^(upg_tests|upg_fault_sweep)$"
# upg_tests reports every case as it starts and ends; the longest case takes
# seconds, so two minutes without a word is a hang.
UNIT_TEST_QUIET = 120
UNIT_TEST_TIMEOUT = 1800
CTEST_TIMEOUT = 1800


def read_mutations(path):
    mutations = []
    for number, line in enumerate(path.read_text().splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        parts = line.split(SEPARATOR)
        if len(parts) != 3:
            sys.exit(f"{path}:{number}: expected FILE |> FIND |> REPLACE")
        # One blank follows each separator; any further blanks are code.
        find, replace = (p[1:] if p.startswith(" ") else p for p in parts[1:])
        mutations.append((number, parts[0].strip(), find, replace))
    return mutations


def start(command, cwd=ROOT):
    """Starts a command in its own process group, its output to a file."""
    output = tempfile.TemporaryFile()
    process = subprocess.Popen(command, cwd=cwd, stdout=output, stderr=subprocess.STDOUT,
                               start_new_session=True)
    return process, output


def finish(started, timeout, quiet=None):
    """Waits for a started command: (status, output). Status None when it
    runs past `timeout` seconds, or writes nothing for `quiet` seconds; the
    whole group is then killed, so that no test's child lingers."""
    process, output = started
    deadline = time.time() + timeout
    written, last_output = 0, time.time()
    status = None
    try:
        while time.time() < deadline and time.time() - last_output < (quiet or timeout):
            try:
                status = process.wait(timeout=5)
                break
            except subprocess.TimeoutExpired:
                if os.fstat(output.fileno()).st_size != written:
                    written, last_output = os.fstat(output.fileno()).st_size, time.time()
    finally:
        # Also when a signal ends the run: no test may outlive it.
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
    output.seek(0)
    return status, output.read().decode(errors="replace")


def run(command, timeout, cwd=ROOT, quiet=None):
    return finish(start(command, cwd), timeout, quiet)


class Fault:
    """The fault applied to the source for the duration of a with block. A
    copy of the original waits in the build folder until it is back in
    place, so a run that was killed outright restores it when it restarts."""

    def __init__(self, build, source, find, replace):
        self.path = ROOT / source
        self.find, self.replace = find, replace
        self.pending = build / "mutation-pending"

    def __enter__(self):
        original = self.path.read_text()
        self.pending.write_text(json.dumps({"path": str(self.path), "text": original}))
        self.path.write_text(original.replace(self.find, self.replace))
        return self

    def __exit__(self, *error):
        restore_pending(self.pending)


def restore_pending(pending):
    if not pending.exists():
        return
    saved = json.loads(pending.read_text())
    path = pathlib.Path(saved["path"])
    path.write_text(saved["text"])
    # The restored file must not look older than the objects built from
    # the fault, or the next build would skip it.
    path.touch()
    pending.unlink()


def build_target(build, target):
    return run(["cmake", "--build", str(build), "-j2", "--target", target], 3600)


def build_targets(build):
    # One target at a time: the Makefile generator builds several targets of
    # one call in parallel sub-makes that can race on the libraries they share.
    for target in TARGETS:
        status, output = build_target(build, target)
        if status != 0:
            return False, output
    return True, ""


def unit_tests(build, fail_fast):
    """Runs upg_tests; returns the cases that failed. A case that crashes or
    hangs the program is named as such, and the cases after it still run
    (unless failing fast)."""
    failed = []
    done = []
    while True:
        command = [str(build / "tests" / "upg_tests")]
        if done or failed:
            command.append("--gtest_filter=-" + ":".join(done + [f.split()[0] for f in failed]))
        if fail_fast:
            command.append("--gtest_fail_fast")
        status, output = run(command, UNIT_TEST_TIMEOUT, build / "tests", UNIT_TEST_QUIET)
        running = None
        for line in output.splitlines():
            if match := re.match(r"\[ RUN      \] (\S+)", line):
                running = match[1]
            elif match := re.match(r"\[       OK \] (\S+)", line):
                done.append(match[1])
                running = None
            elif line.startswith("[  SKIPPED ]"):
                running = None
            elif match := re.match(r"\[  FAILED  \] ([^\s,]+).*\(\d+ ms\)$", line):
                failed.append(match[1])
                running = None
        if running is None:
            if status != 0 and not failed:
                failed.append("upg_tests (exit status %s)" % status)
            return failed
        failed.append(running + (" (hung)" if status is None else " (crashed)"))
        if fail_fast:
            return failed


def start_ctest(build, stop_on_failure, jobs):
    command = ["ctest", "--test-dir", str(build), "-LE", "gui", "-E", UNIT_TEST_NAMES,
               "--timeout", "300", "-j", str(jobs)]
    if stop_on_failure:
        command.append("--stop-on-failure")
    return start(command)


def ctest_failures(started):
    status, output = finish(started, CTEST_TIMEOUT)
    if status is None:
        return ["ctest (hung)"]
    failed = re.findall(r"^\s*\d+ - (\S+) \(", output.split("The following tests FAILED:")[-1],
                        re.MULTILINE) if status != 0 else []
    return failed or ([] if status == 0 else ["ctest (exit status %s)" % status])


def run_tests(build, killers):
    """The tests that fail: every one in the killers mode, else the first."""
    if killers:
        # Both at once, one core each.
        ctest = start_ctest(build, stop_on_failure=False, jobs=1)
        try:
            failed = unit_tests(build, fail_fast=False)
        except BaseException:
            finish(ctest, 0)
            raise
        return failed + ctest_failures(ctest)
    return unit_tests(build, fail_fast=True) or ctest_failures(
        start_ctest(build, stop_on_failure=True, jobs=2))


def compiles(build, source):
    """Whether the (changed) source still compiles, without building."""
    path = (ROOT / source).resolve()
    for entry in json.loads((build / "compile_commands.json").read_text()):
        if pathlib.Path(entry["file"]).resolve() == path:
            # Compiled in full: some warnings (an unused function) need more
            # than the syntax.
            command = shlex.split(entry["command"])
            command[command.index("-o") + 1] = os.devnull
            status, output = run(command, 600, cwd=entry["directory"])
            return status == 0, output
    return False, f"{source} is compiled by no target"


def try_mutation(build, mutation, mode):
    number, source, find, replace = mutation
    if (ROOT / source).read_text().count(find) != 1:
        return "stale", []
    with Fault(build, source, find, replace):
        built, output = compiles(build, source) if mode == "check" else build_targets(build)
        if not built:
            errors = [line for line in output.splitlines() if "error" in line] or [""]
            return "no build", [errors[0][:200]]
        if mode == "check":
            return "builds", []
        demo_refused = build_target(build, DEMO)[0] != 0
        failed = run_tests(build, mode == "killers")
    return ("killed" if failed else "survived"), failed + [DEMO_REFUSED] * demo_refused


def area(source):
    return source.split("/")[0]


def summarise(rows, out=sys.stdout):
    counted = [r for r in rows if r["verdict"] in ("killed", "survived")]
    by_area = collections.defaultdict(lambda: [0, 0])
    for row in counted:
        by_area[area(row["file"])][1] += 1
        by_area[area(row["file"])][0] += row["verdict"] == "killed"
    killed = sum(k for k, _ in by_area.values())
    print(f"{killed} of {len(counted)} faults killed "
          f"({len(rows) - len(counted)} stale or not built)", file=out)
    for name, (k, n) in sorted(by_area.items()):
        print(f"  {name:10s} {k:4d} of {n:4d}", file=out)
    for row in counted:
        if row["verdict"] == "survived":
            print(f"  survived: line {row['line']} {row['file']}: {row['fault']}", file=out)
    refused = [row for row in counted if DEMO_REFUSED in row["failed"]]
    if refused:
        print(f"  the demo's build step also refuses {len(refused)}, of which "
              f"{sum(row['verdict'] == 'survived' for row in refused)} survive the tests", file=out)
    kills = collections.defaultdict(set)
    for row in counted:
        for test in row["failed"]:
            if test != DEMO_REFUSED:
                kills[test].add(row["line"])
    if not kills:
        return
    # A test's own kills are the faults no other test kills.
    print("tests by kills (own = killed by no other test):", file=out)
    for test, lines in sorted(kills.items(), key=lambda item: (-len(item[1]), item[0])):
        own = [n for n in lines if all(n not in kills[o] for o in kills if o != test)]
        print(f"  {len(lines):4d} own {len(own):3d}  {test}", file=out)
    # Few tests that together kill every killed fault, taken greedily.
    left = set().union(*kills.values())
    cover = []
    while left:
        best = max(sorted(kills), key=lambda test: len(kills[test] & left))
        cover.append(best)
        left -= kills[best]
    print(f"{len(cover)} of the {len(kills)} killing tests kill all {killed}:", file=out)
    for test in cover:
        print(f"  {test}", file=out)


def read_results(path):
    rows = []
    for line in pathlib.Path(path).read_text().splitlines():
        if line.startswith("#") or not line.strip():
            continue
        number, source, verdict, failed, fault = line.split("\t")
        rows.append({"line": int(number), "file": source, "verdict": verdict,
                     "failed": [f for f in failed.split(", ") if f], "fault": fault})
    return rows


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default="build-mutation")
    parser.add_argument("--list", default=str(ROOT / "scripts" / "mutations.txt"))
    parser.add_argument("--out", default=None, help="write the results as TSV")
    parser.add_argument("--only", default=None, help="comma-separated line numbers")
    parser.add_argument("--resume", action="store_true",
                        help="keep the faults that --out holds already and add the rest")
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--killers", action="store_const", dest="mode", const="killers")
    mode.add_argument("--check", action="store_const", dest="mode", const="check")
    mode.add_argument("--summary", metavar="TSV")
    args = parser.parse_args()
    if args.summary:
        summarise(read_results(args.summary))
        return
    mode = args.mode or "verdict"
    # A stop ends the run through the with blocks, which restore the source.
    signal.signal(signal.SIGTERM, lambda number, _: sys.exit(f"stopped by signal {number}"))

    build = (ROOT / args.build).resolve()
    build.mkdir(exist_ok=True)
    restore_pending(build / "mutation-pending")
    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build),
                    "-DCMAKE_EXPORT_COMPILE_COMMANDS=ON"], check=True, stdout=subprocess.DEVNULL)
    if mode != "check":
        started = time.time()
        built, output = build_targets(build)
        if built:
            status, output = build_target(build, DEMO)
            built = status == 0
        if not built:
            sys.exit("the unchanged tree does not build:\n" + output[-3000:])
        failed = run_tests(build, killers=True)
        if failed:
            sys.exit("the unchanged tree fails: " + " ".join(failed))
        print(f"the unchanged tree builds and passes ({time.time() - started:.0f}s)", flush=True)

    mutations = read_mutations(pathlib.Path(args.list))
    if args.only:
        wanted = {int(n) for n in args.only.split(",")}
        mutations = [m for m in mutations if m[0] in wanted]
    rows = read_results(args.out) if args.resume else []
    mutations = [m for m in mutations if m[0] not in {row["line"] for row in rows}]
    out = open(args.out, "a" if args.resume else "w") if args.out else None
    if out and not args.resume:
        out.write("# line\tfile\tverdict\tfailed tests\tfault\n")
    started_all = time.time()
    try:
        for mutation in mutations:
            number, source, find, replace = mutation
            started = time.time()
            verdict, failed = try_mutation(build, mutation, mode)
            fault = f"{find.strip()} |> {replace.strip()}"
            rows.append({"line": number, "file": source, "verdict": verdict, "failed": failed,
                         "fault": fault})
            print(f"{number:4d} {verdict:9s} {time.time() - started:5.0f}s {source}: "
                  f"{fault[:70]}  {', '.join(failed)[:200]}", flush=True)
            if out:
                out.write(f"{number}\t{source}\t{verdict}\t{', '.join(failed)}\t{fault}\n")
                out.flush()
    finally:
        if mode != "check":
            # Leave the build as the unchanged tree builds it.
            build_targets(build)
            build_target(build, DEMO)
    print(f"\n{len(rows)} faults in {time.time() - started_all:.0f}s")
    if mode == "check":
        bad = [r for r in rows if r["verdict"] != "builds"]
        for row in bad:
            print(f"  line {row['line']}: {row['verdict']} {' '.join(row['failed'])}")
        sys.exit(1 if bad else 0)
    summarise(rows)


if __name__ == "__main__":
    main()
