#!/usr/bin/env python3
"""Fails when an include goes against the layer table in docs/architecture.md.

Every C++ file outside tests/ belongs to one part: a folder, and in the
folders that hold both layers (app/, dialog/, tools/) the folder's core or its
Win32 files. A file is Win32 there when its folder's CMakeLists.txt builds it
(a header: the .cpp of the same name) only for Windows, inside if(WIN32);
every other file is core. An include may only reach a part the table allows,
and a core file names no Win32 header: the core is built and tested on the
host, where there is none.

Usage: check_folder_includes.py <source root>
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+(?:"([^"]+)"|<([^>]+)>)')
SKIPPED = {"build", ".git", "tests"}

CORE = "core"
WIN32 = "Win32"
# Folders all of whose files are one layer; the rest hold both.
FOLDER_LAYER = {"res": CORE, "interfaces": CORE, "devinfo": CORE, "help": CORE, "framework": WIN32, "platform": WIN32,
                "win32_program": WIN32}

# Which parts each part may include, besides itself: the table in
# docs/architecture.md. The core only ever includes the core; the Win32
# layer includes the core and the Win32 parts below it.
ALLOWED = {
    "res": set(),
    "interfaces": set(),
    "devinfo": {"interfaces", "res"},
    "help": set(),
    "app (core)": {"interfaces", "devinfo", "help", "res"},
    "dialog (core)": {"interfaces", "app (core)", "devinfo", "help", "res"},
    "tools (core)": {"interfaces", "app (core)", "dialog (core)", "devinfo", "help", "res"},
    "framework": set(),
    "platform": {"interfaces", "app (core)", "dialog (core)", "devinfo", "help", "res", "framework"},
    "win32_program": {"interfaces", "app (core)", "dialog (core)", "devinfo", "help", "res", "framework", "platform"},
    "tools (Win32)": {"interfaces", "tools (core)", "app (core)", "dialog (core)", "devinfo", "help", "res", "framework",
                      "platform"},
}

# Headers of the Windows SDK and its C runtime that the program uses or
# might; any header whose name starts with "win" counts as well.
WIN32_HEADERS = {"commdlg.h", "dlgs.h", "htmlhelp.h", "io.h", "objbase.h", "ole2.h", "shellapi.h", "shlobj.h",
                 "shlwapi.h", "shobjidl.h", "tchar.h", "unknwn.h", "commctrl.h", "oleauto.h", "combaseapi.h"}


def is_win32_header(name):
    return name in WIN32_HEADERS or name.startswith("win")


def windows_only_sources(folder):
    """The .cpp files the CMakeLists.txt files in and below folder build only
    inside if(WIN32), as paths relative to folder."""
    found = set()
    for cmake in folder.rglob("CMakeLists.txt"):
        stack = []  # one entry per open if(): whether that branch is Windows only
        for line in cmake.read_text(encoding="utf-8").splitlines():
            code = line.split("#", 1)[0].strip()
            if re.match(r"if\s*\(", code):
                stack.append(re.fullmatch(r"if\s*\(\s*WIN32\s*\)", code) is not None)
            elif re.match(r"else\s*\(", code) and stack:
                stack[-1] = False
            elif re.match(r"endif\s*\(", code) and stack:
                stack.pop()
            elif any(stack):
                for source in re.findall(r"[\w./-]+\.cpp", code):
                    found.add((cmake.parent / source).relative_to(folder))
    return found


class Parts:
    def __init__(self, root):
        self.root = root
        self.windows_only = {}

    def layer(self, path):
        """CORE or WIN32 for a file below root."""
        folder = path.relative_to(self.root).parts[0]
        if folder in FOLDER_LAYER:
            return FOLDER_LAYER[folder]
        if folder not in self.windows_only:
            self.windows_only[folder] = windows_only_sources(self.root / folder)
        source = path.with_suffix(".cpp").relative_to(self.root / folder)
        return WIN32 if source in self.windows_only[folder] else CORE

    def part(self, path):
        folder = path.relative_to(self.root).parts[0]
        return folder if folder in FOLDER_LAYER else f"{folder} ({self.layer(path)})"


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


def problems(root):
    parts = Parts(root)
    found, edges = [], {}
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".h", ".cpp") or not path.is_file():
            continue
        relative = path.relative_to(root)
        if len(relative.parts) < 2 or relative.parts[0] in SKIPPED:
            continue
        part = parts.part(path)
        text = path.read_text(encoding="utf-8", errors="replace")
        # The inspector builds on the host and on Windows alike; its few
        # Windows calls, and the framework's holders they use, stand in an
        # #ifdef _WIN32 branch.
        windows_branch = windows_branch_lines(text) if relative.parts[0] == "tools" else set()
        for number, line in enumerate(text.splitlines()):
            match = INCLUDE.match(line)
            if not match:
                continue
            quoted, system = match.groups()
            where = f"{relative}:{number + 1}"
            if system:
                if parts.layer(path) == CORE and is_win32_header(system) and number not in windows_branch:
                    found.append(f"{where}: {part} is core, yet includes the Win32 header <{system}>")
                continue
            target = root / quoted
            if "/" not in quoted or not target.is_file() or target.relative_to(root).parts[0] in SKIPPED:
                continue
            target_part = parts.part(target)
            if target_part == part:
                continue
            edges.setdefault(part, set()).add(target_part)
            allowed = ALLOWED[part] | ({"framework"} if number in windows_branch else set())
            if target_part not in allowed:
                found.append(f"{where}: {part} may not include {target_part} (\"{quoted}\")")
    return found, edges


def loop_in_table():
    """A loop the table itself would allow, as a list of parts, or None: a
    part that two others include back could not be read or tested alone."""
    def walk(part, path):
        for target in sorted(ALLOWED[part]):
            if target in path:
                return path[path.index(target):] + [target]
            loop = walk(target, path + [target])
            if loop:
                return loop
        return None

    for part in sorted(ALLOWED):
        loop = walk(part, [part])
        if loop:
            return loop
    return None


def main():
    loop = loop_in_table()
    if loop:
        print("the table lets parts include each other: " + " -> ".join(loop), file=sys.stderr)
        return 1
    found, edges = problems(pathlib.Path(sys.argv[1]).resolve())
    for part in sorted(edges):
        print(f"{part} -> {', '.join(sorted(edges[part]))}")
    for problem in found:
        print(problem, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
