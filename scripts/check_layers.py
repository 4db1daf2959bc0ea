#!/usr/bin/env python3
"""Checks that the production code's quoted includes keep the folders in layers.

  core (model/, the Qt-free files of editor/, view3d/, palette/)
    < document/
    < widgets/, resources/
    < the window code of dialogs/, editor/, view3d/, palette/ (never a sibling's)
    < app/

tools/ (the companion) stands on the core alone. In the folders that hold both, a file
is window code when its folder's CMakeLists.txt adds it to the window library
(kobaltine_ui), or when it or its header/source partner includes a Qt header. Every include that points up a
layer, or sideways from one window folder into another, is reported with its file and
line, and so is every circle of files (a header and its source count as one file).

Usage: check_layers.py [--root DIR] [--stats]
  --stats  also prints the files in circles and who includes app/TMainWindow.h
"""
import argparse
import os
import re
import sys

FOLDERS = ["model", "document", "widgets", "resources", "dialogs", "editor", "view3d",
           "palette", "app", "tools"]
SPLIT = {"editor", "view3d", "palette"}  # folders holding both core and window code
WINDOW_FOLDERS = {"dialogs", "editor", "view3d", "palette"}
SOURCE = re.compile(r"\.(cpp|h|inc)$")
QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
QT = re.compile(r"^\s*#\s*include\s+<Q")

CORE, DOCUMENT, WIDGETS, WINDOWS, APP, COMPANION = range(6)
NAMES = {CORE: "the core", DOCUMENT: "document/", WIDGETS: "the shared widgets",
         WINDOWS: "window code", APP: "app/", COMPANION: "the companion tool"}


def sources(root):
    for folder in FOLDERS:
        top = os.path.join(root, folder)
        for base, _, files in os.walk(top):
            for f in sorted(files):
                if SOURCE.search(f):
                    yield os.path.relpath(os.path.join(base, f), root).replace(os.sep, "/")


def unit(path):
    """A header and its source are one file of the graph."""
    return re.sub(r"\.(cpp|h)$", "", path)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("--stats", action="store_true")
    args = parser.parse_args()
    root = os.path.abspath(args.root)

    files = list(sources(root))
    known = set(files)
    includes = {}  # file -> [(line number, included file)]
    uses_qt = set()
    for f in files:
        with open(os.path.join(root, f), encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                m = QUOTED.match(line)
                if m and m.group(1) in known:
                    includes.setdefault(f, []).append((number, m.group(1)))
                if QT.match(line):
                    uses_qt.add(unit(f))

    # The window library's sources of the split folders, by their CMake lists.
    window_units = set()
    for folder in SPLIT:
        listing = os.path.join(root, folder, "CMakeLists.txt")
        if not os.path.exists(listing):
            continue
        with open(listing, encoding="utf-8") as text:
            for block in re.findall(r"target_sources\(kobaltine_ui\b([^)]*)\)", text.read()):
                for name in block.split():
                    if SOURCE.search(name):
                        window_units.add(unit(f"{folder}/{name}"))

    def layer(f):
        folder = f.split("/")[0]
        if folder == "model":
            return CORE
        if folder == "document":
            return DOCUMENT
        if folder in ("widgets", "resources"):
            return WIDGETS
        if folder == "app":
            return APP
        if folder == "tools":
            return COMPANION
        if folder in SPLIT and unit(f) not in uses_qt and unit(f) not in window_units:
            return CORE
        return WINDOWS

    problems = []
    for f in files:
        for number, target in includes.get(f, []):
            mine, theirs = layer(f), layer(target)
            here, there = f.split("/")[0], target.split("/")[0]
            if mine == COMPANION:
                bad = theirs not in (CORE, COMPANION)
            elif theirs == COMPANION:
                bad = True
            else:
                bad = theirs > mine or (mine == theirs == WINDOWS and here != there)
            if bad and unit(f) != unit(target):
                problems.append(f"{f}:{number}: includes {target} ({NAMES[theirs]}) from "
                                f"{NAMES[mine]}")

    # Circles: strongly connected groups of more than one file (Tarjan, iterative).
    graph = {}
    for f in files:
        graph.setdefault(unit(f), set())
        for _, target in includes.get(f, []):
            if unit(target) != unit(f):
                graph[unit(f)].add(unit(target))
    index, low, stack, on_stack, circles = {}, {}, [], set(), []
    counter = [0]
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph[start])))]
        index[start] = low[start] = counter[0]
        counter[0] += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, edges = work[-1]
            advanced = False
            for nxt in edges:
                if nxt not in index:
                    index[nxt] = low[nxt] = counter[0]
                    counter[0] += 1
                    stack.append(nxt)
                    on_stack.add(nxt)
                    work.append((nxt, iter(sorted(graph[nxt]))))
                    advanced = True
                    break
                if nxt in on_stack:
                    low[node] = min(low[node], index[nxt])
            if advanced:
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                group = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    group.append(member)
                    if member == node:
                        break
                if len(group) > 1:
                    circles.append(sorted(group))
    for group in circles:
        problems.append(f"circle of {len(group)} files: " + ", ".join(group))

    if args.stats:
        members = {m for g in circles for m in g}
        in_circles = sum(1 for f in files if unit(f) in members)
        includers = sorted(f for f in files
                           if any(t == "app/TMainWindow.h" for _, t in includes.get(f, [])))
        print(f"files in circles: {in_circles} ({len(members)} header/source pairs, "
              f"{len(circles)} circles)")
        print(f"includers of app/TMainWindow.h: {len(includers)}")
        for f in includers:
            print(f"  {f}")

    for p in problems:
        print(p)
    if problems:
        print(f"check_layers: {len(problems)} problem(s)", file=sys.stderr)
        return 1
    print("check_layers: the folders keep their layers; no circles")
    return 0


if __name__ == "__main__":
    sys.exit(main())
