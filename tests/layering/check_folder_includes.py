#!/usr/bin/env python3
"""Fails when two top-level folders include each other, directly or round a
longer loop. A loop means neither folder can be read, built or tested without
the other, and the layers in docs/architecture.md stop meaning anything.

Usage: check_folder_includes.py <source root>
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"', re.MULTILINE)
SKIPPED = {"build", ".git"}


def folder_includes(root):
    """{folder: {folder it includes}} over every C++ file below root."""
    edges = {}
    for path in root.rglob("*"):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        parts = path.relative_to(root).parts
        if len(parts) < 2 or parts[0] in SKIPPED:
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        targets = {t for t in INCLUDE.findall(text) if t != parts[0] and (root / t).is_dir()}
        edges.setdefault(parts[0], set()).update(targets)
    return edges


def find_loop(edges):
    """One loop as a list of folders (first repeated at the end), or None."""
    state = {}  # folder -> "open" while on the path, "done" once cleared

    def visit(folder, path):  # path: the folders walked so far, ending with folder
        state[folder] = "open"
        for target in sorted(edges.get(folder, ())):
            if state.get(target) == "open":
                return path[path.index(target):] + [target]
            if target not in state:
                loop = visit(target, path + [target])
                if loop:
                    return loop
        state[folder] = "done"
        return None

    for folder in sorted(edges):
        if folder not in state:
            loop = visit(folder, [folder])
            if loop:
                return loop
    return None


def main():
    edges = folder_includes(pathlib.Path(sys.argv[1]))
    for folder in sorted(edges):
        print(f"{folder} -> {', '.join(sorted(edges[folder])) or '(nothing)'}")
    loop = find_loop(edges)
    if loop:
        print("folders include each other: " + " -> ".join(loop), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
