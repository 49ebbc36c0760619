#!/usr/bin/env python3
"""Which test cases reach library code that no other case reaches.

Run after `make coverage` (it needs the instrumented tree build-cov):

    python3 scripts/unique_coverage.py [--build build-cov] [--filter REGEX] [--out FILE.json]

Each ctest entry runs alone; gcov's JSON output gives the lines of qx/ it ran and the branches it
took (branches only reached by exceptions are ignored, as in `make coverage`). The listing names,
per case, the lines and branches that no other case reaches, fewest first: a case with none
is a candidate for merging or removal when trimming the suite. The whole run takes a few
minutes (one test at a time).
"""
import argparse
import json
import os
import re
import subprocess
import sys
from collections import defaultdict


def ctest_entries(build, pattern):
    out = subprocess.run(["ctest", "--test-dir", build, "-N", "--show-only=json-v1"],
                         check=True, capture_output=True, text=True).stdout
    for t in json.loads(out)["tests"]:
        if pattern and not re.search(pattern, t["name"]):
            continue
        props = {p["name"]: p["value"] for p in t.get("properties", [])}
        if "command" not in t:
            continue
        env = dict(os.environ)
        for item in props.get("ENVIRONMENT", []):
            key, _, value = item.partition("=")
            env[key] = value
        for item in props.get("ENVIRONMENT_MODIFICATION", []):
            key, _, change = item.partition("=")
            op, _, value = change.partition(":")
            if op == "set":
                env[key] = value
            elif op in ("unset", "reset"):
                env.pop(key, None)
        yield t["name"], t["command"], props.get("WORKING_DIRECTORY", build), env


def gcda_files(build):
    for root, _, files in os.walk(build):
        for f in files:
            if f.endswith(".gcda"):
                yield os.path.join(root, f)


def reached(build, source_root):
    """Lines and taken branches of qx/ recorded by the .gcda files now in the tree."""
    lines, branches = set(), set()
    qx_root = os.path.join(source_root, "qx") + os.sep
    for gcda in gcda_files(build):
        res = subprocess.run(["gcov", "-j", "-t", "-b", "-o", os.path.dirname(gcda), gcda],
                             capture_output=True, text=True)
        for chunk in res.stdout.splitlines():
            if not chunk.startswith("{"):
                continue
            for f in json.loads(chunk).get("files", []):
                path = os.path.normpath(os.path.join(source_root, f["file"]))
                if not path.startswith(qx_root):
                    continue
                rel = os.path.relpath(path, source_root)
                for line in f["lines"]:
                    if line["count"] > 0:
                        lines.add((rel, line["line_number"]))
                    for i, b in enumerate(line.get("branches", [])):
                        if b["count"] > 0 and not b.get("throw"):
                            branches.add((rel, line["line_number"], i))
    return lines, branches


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--build", default="build-cov")
    ap.add_argument("--filter", default="", help="only ctest names matching this")
    ap.add_argument("--out", default="", help="also write the per-case sets as JSON")
    args = ap.parse_args()
    source_root = os.path.abspath(os.path.dirname(os.path.dirname(__file__)))
    build = os.path.abspath(args.build)

    per_case = {}
    for name, command, cwd, env in ctest_entries(build, args.filter):
        for gcda in gcda_files(build):
            os.remove(gcda)
        run = subprocess.run(command, cwd=cwd, env=env, capture_output=True)
        if run.returncode != 0:
            print(f"warning: {name} exited with {run.returncode}", file=sys.stderr)
        per_case[name] = reached(build, source_root)
        print(f"{name}: {len(per_case[name][0])} lines", file=sys.stderr)

    line_users, branch_users = defaultdict(int), defaultdict(int)
    for lines, branches in per_case.values():
        for l in lines:
            line_users[l] += 1
        for b in branches:
            branch_users[b] += 1
    rows = []
    for name, (lines, branches) in per_case.items():
        own_lines = sorted(l for l in lines if line_users[l] == 1)
        own_branches = sorted(b for b in branches if branch_users[b] == 1)
        rows.append((len(own_lines) + len(own_branches), name, own_lines, own_branches))
    rows.sort()
    for total, name, own_lines, own_branches in rows:
        where = sorted({f"{f}:{n}" for f, n in own_lines} | {f"{f}:{n}" for f, n, _ in own_branches})
        shown = ", ".join(where[:6]) + (" ..." if len(where) > 6 else "")
        print(f"{len(own_lines):4d} lines {len(own_branches):4d} branches  {name}  {shown}")
    if args.out:
        with open(args.out, "w") as f:
            json.dump({n: {"lines": sorted(map(list, l)), "branches": sorted(map(list, b))}
                       for n, (l, b) in per_case.items()}, f)


if __name__ == "__main__":
    main()
