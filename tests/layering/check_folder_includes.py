#!/usr/bin/env python3
"""Fails when an include goes against the layer table in docs/architecture.md.

The table is read from the doc, the one place it is written. Each row is one
part of the program: the paths in backticks in its "part" cell (a folder, or
files by name, where `*` stands for any characters), its layer ("core",
"Win32" or "resources") and, in backticks, the parts it may include, each
named by the first path of its row. A file belongs to the row that names it
most closely: a file by name before its folder, a deeper folder before the
folder around it.

The check fails on:
- an include that reaches a part its row does not list;
- a Win32 header in a file that is not Win32 (the core is built and tested on
  the host, where there is none), except inside #ifdef _WIN32 in a part whose
  layer cell says so; that cell names in backticks what else the branch may
  include;
- a table that lets a part include a row below its own, which is how a loop
  of parts would begin, or that names a part it does not have;
- a path of the table that matches no file, and a file that belongs to no
  row: either way the doc no longer tells the truth.

Files under tests/ are not checked. Usage: check_folder_includes.py <source root>
"""
import fnmatch
import pathlib
import re
import sys

DOC = pathlib.Path("docs") / "architecture.md"
TABLE_HEADING = "## Layers and what each may include"
INCLUDE = re.compile(r'^\s*#\s*include\s+(?:"([^"]+)"|<([^>]+)>)')
NOT_CHECKED = {"build", ".git", "tests"}
WIN32 = "Win32"

# Headers of the Windows SDK and its C runtime that the program uses or
# might; any header whose name starts with "win" counts as well.
WIN32_HEADERS = {"commdlg.h", "dlgs.h", "htmlhelp.h", "io.h", "objbase.h", "ole2.h", "shellapi.h", "shlobj.h",
                 "shlwapi.h", "shobjidl.h", "tchar.h", "unknwn.h", "commctrl.h", "oleauto.h", "combaseapi.h"}
WINDOWS_BRANCH = "#ifdef _WIN32"
FILE_BY_NAME = 1 << 30  # longer than any folder path


class TableError(Exception):
    pass


class Part:
    def __init__(self, name, paths, layer, may_include, branch_may_include):
        self.name = name  # the first path of the row
        self.paths = paths
        self.layer = layer
        self.may_include = may_include
        # None: no Windows branch allowed; else what it may include besides.
        self.branch_may_include = branch_may_include

    def match_length(self, relative):
        """How closely the row names the file (a path relative to the root,
        with /): a file by name beats any folder, a deeper folder the one
        around it; 0 when the row does not name it."""
        best = 0
        for path in self.paths:
            if path.endswith("/"):
                if relative.startswith(path):
                    best = max(best, len(path))
            elif fnmatch.fnmatchcase(relative, path):
                best = max(best, FILE_BY_NAME)
        return best


def backticked(cell):
    return re.findall(r"`([^`]+)`", cell)


def cells(line):
    return [cell.strip() for cell in line.strip().strip("|").split("|")]


def read_table(doc_text):
    """The parts of the layer table, top row first."""
    lines = doc_text.splitlines()
    try:
        start = lines.index(TABLE_HEADING)
    except ValueError:
        raise TableError(f"{DOC} has no heading '{TABLE_HEADING}'")
    rows = []
    for line in lines[start + 1:]:
        if line.startswith("## "):
            break
        if line.startswith("|"):
            rows.append(cells(line))
        elif rows:
            break
    if len(rows) < 3:
        raise TableError(f"{DOC} has no layer table under '{TABLE_HEADING}'")
    header = [name.lower() for name in rows[0]]
    try:
        part_at, layer_at, include_at = header.index("part"), header.index("layer"), header.index("may include")
    except ValueError:
        raise TableError(f"the layer table's columns are {rows[0]}, not part, layer, ..., may include")
    parts = []
    for row in rows[2:]:
        paths = backticked(row[part_at])
        if not paths:
            raise TableError(f"the layer table's row '{row[part_at]}' names no path")
        layer_cell = row[layer_at]
        branch = None
        if WINDOWS_BRANCH in backticked(layer_cell):
            branch = set(backticked(layer_cell)) - {WINDOWS_BRANCH}
        layer = layer_cell.split()[0].rstrip(";,") if layer_cell else ""
        parts.append(Part(paths[0], paths, layer, set(backticked(row[include_at])), branch))
    return parts


def table_problems(parts):
    """Rows that name a part the table lacks, or let a part include one below
    its own row: the table then allows a loop, or means nothing."""
    found, above = [], set()
    for part in parts:
        for target in sorted(part.may_include | (part.branch_may_include or set())):
            if target not in {other.name for other in parts}:
                found.append(f"the layer table lets {part.name} include {target}, which is no part of the table")
            elif target not in above:
                found.append(f"the layer table lets {part.name} include {target}, which is not above its row")
        above.add(part.name)
    return found


def is_win32_header(name):
    return name in WIN32_HEADERS or name.startswith("win")


def windows_branch_lines(text):
    """Line numbers inside #ifdef _WIN32 (up to its #else or #endif)."""
    inside, depth, lines = False, 0, set()
    for number, line in enumerate(text.splitlines()):
        code = line.strip()
        if re.match(r"#\s*if(def\s+_WIN32\b|\s+defined\s*\(?\s*_WIN32\b)", code) and not inside:
            inside, depth = True, 0
            continue
        if inside:
            if re.match(r"#\s*if", code):
                depth += 1
            elif re.match(r"#\s*(else|elif|endif)", code) and depth == 0:
                inside = False
                continue
            elif re.match(r"#\s*endif", code):
                depth -= 1
            lines.add(number)
    return lines


def source_files(root):
    for path in sorted(root.rglob("*")):
        relative = path.relative_to(root)
        if path.suffix in (".h", ".cpp") and path.is_file() and len(relative.parts) > 1 \
                and relative.parts[0] not in NOT_CHECKED:
            yield path, relative.as_posix()


def part_of(parts, relative):
    lengths = [(part.match_length(relative), index) for index, part in enumerate(parts)]
    length, index = max(lengths)
    return parts[index] if length else None


def include_problems(root, parts):
    found, edges = [], {}
    for path, relative in source_files(root):
        part = part_of(parts, relative)
        if part is None:
            found.append(f"{relative} belongs to no row of the layer table in {DOC}")
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        branch = windows_branch_lines(text) if part.branch_may_include is not None else set()
        for number, line in enumerate(text.splitlines()):
            match = INCLUDE.match(line)
            if not match:
                continue
            quoted, system = match.groups()
            where = f"{relative}:{number + 1}"
            if system:
                if part.layer != WIN32 and is_win32_header(system) and number not in branch:
                    found.append(f"{where}: {part.name} is not Win32, yet includes the Win32 header <{system}>")
                continue
            target = root / quoted
            if "/" not in quoted or not target.is_file() or quoted.split("/")[0] in NOT_CHECKED:
                continue
            target_part = part_of(parts, pathlib.PurePath(quoted).as_posix())
            if target_part is None or target_part is part:
                continue
            edges.setdefault(part.name, set()).add(target_part.name)
            allowed = part.may_include | (part.branch_may_include if number in branch else set())
            if target_part.name not in allowed:
                found.append(f"{where}: {part.name} may not include {target_part.name} (\"{quoted}\")")
    return found, edges


def stale_paths(root, parts):
    """Paths of the table that name nothing: a folder that is gone, or files
    that were moved or renamed."""
    return [f"the layer table names {path}, which matches no file"
            for part in parts for path in part.paths
            if not ((root / path).is_dir() if path.endswith("/") else any(root.glob(path)))]


def problems(root):
    """Every problem found, and which part includes which, for the root's tree."""
    parts = read_table((root / DOC).read_text(encoding="utf-8"))
    found, edges = include_problems(root, parts)
    return table_problems(parts) + stale_paths(root, parts) + found, edges


def main():
    try:
        found, edges = problems(pathlib.Path(sys.argv[1]).resolve())
    except TableError as error:
        print(error, file=sys.stderr)
        return 1
    for part in sorted(edges):
        print(f"{part} -> {', '.join(sorted(edges[part]))}")
    for problem in found:
        print(problem, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
