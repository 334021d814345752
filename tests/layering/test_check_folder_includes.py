"""The layering check on a small tree of its own: it passes the tree as the
table describes it, and fails on each way the code or the table can go wrong."""
import pathlib
import tempfile
import unittest

import check_folder_includes

TABLE = """# Architecture

## Layers and what each may include

| part | layer | holds | may include |
|---|---|---|---|
| `res/` | resources | ids | nothing |
| `framework/` | Win32 | holders | nothing |
| `core/` | core | decisions | `res/` |
| `tools/` | core; inside `#ifdef _WIN32` also Win32 headers and `framework/` | the tools | `core/`, `res/` |
| `platform/` | Win32 | adapters | `framework/`, `core/`, `res/` |
| `tools/win32_*.cpp` | Win32 | a tool's Win32 side | `framework/`, `core/`, `tools/`, `platform/` |
| `tests/` | | tests | anything above (not checked) |

## Next section
"""

TREE = {
    "docs/architecture.md": TABLE,
    "res/resource.h": "#define IDS_X 1\n",
    "framework/holder.h": "#include <windows.h>\n",
    "core/decide.h": '#include <string>\n#include "res/resource.h"\n',
    "tools/inspect.cpp": '#include "core/decide.h"\n#ifdef _WIN32\n#include <windows.h>\n'
                         '#include "framework/holder.h"\n#endif\n',
    "tools/win32_main.cpp": '#include <windows.h>\n#include "platform/adapter.h"\n#include "tools/inspect.cpp"\n',
    "platform/adapter.h": '#include <windows.h>\n#include "core/decide.h"\n#include "framework/holder.h"\n',
    "tests/unit/anything.cpp": '#include <windows.h>\n#include "platform/adapter.h"\n',
}

CASES = [
    # (what goes wrong, files changed or added, a line the check must report; None: it passes)
    ("the tree as the table says", {}, None),
    ("core reaches a Win32 part", {"core/decide.h": '#include "platform/adapter.h"\n'},
     'core/decide.h:1: core/ may not include platform/ ("platform/adapter.h")'),
    ("a part reaches one its row does not list", {"platform/adapter.h": '#include "tools/inspect.cpp"\n'},
     'platform/adapter.h:1: platform/ may not include tools/ ("tools/inspect.cpp")'),
    ("a Win32 header in core", {"core/decide.h": "#include <shellapi.h>\n"},
     "core/decide.h:1: core/ is not Win32, yet includes the Win32 header <shellapi.h>"),
    ("a Win32 header in core inside #ifdef _WIN32, where the table allows none",
     {"core/decide.h": "#ifdef _WIN32\n#include <windows.h>\n#endif\n"},
     "core/decide.h:2: core/ is not Win32, yet includes the Win32 header <windows.h>"),
    ("a Win32 header in the tools' core after their Windows branch",
     {"tools/inspect.cpp": "#ifdef _WIN32\n#else\n#include <windows.h>\n#endif\n"},
     "tools/inspect.cpp:3: tools/ is not Win32, yet includes the Win32 header <windows.h>"),
    ("the framework outside the branch", {"tools/inspect.cpp": '#include "framework/holder.h"\n'},
     'tools/inspect.cpp:1: tools/ may not include framework/ ("framework/holder.h")'),
    ("a row that may include one below it", {"docs/architecture.md": TABLE.replace(
        "| decisions | `res/` |", "| decisions | `res/`, `platform/` |")},
     "the layer table lets core/ include platform/, which is not above its row"),
    ("a row that names a part the table lacks", {"docs/architecture.md": TABLE.replace(
        "| decisions | `res/` |", "| decisions | `res/`, `help/` |")},
     "the layer table lets core/ include help/, which is no part of the table"),
    ("a path of the table that matches no file", {"docs/architecture.md": TABLE.replace(
        "`tools/win32_*.cpp`", "`tools/win32_*.cpp`, `tools/gone.cpp`")},
     "the layer table names tools/gone.cpp, which matches no file"),
    ("a file in no row", {"help/request.h": "\n"},
     "help/request.h belongs to no row of the layer table in docs/architecture.md"),
]


def problems_in(changes):
    with tempfile.TemporaryDirectory() as folder:
        root = pathlib.Path(folder)
        for name, text in {**TREE, **changes}.items():
            (root / name).parent.mkdir(parents=True, exist_ok=True)
            (root / name).write_text(text, encoding="utf-8")
        return check_folder_includes.problems(root)[0]


class LayeringCheck(unittest.TestCase):
    def test_cases(self):
        for what, changes, expected in CASES:
            with self.subTest(what):
                found = problems_in(changes)
                self.assertEqual(found, [expected] if expected else [])

    def test_a_doc_without_the_table_is_refused(self):
        with self.assertRaises(check_folder_includes.TableError):
            problems_in({"docs/architecture.md": "# Architecture\n"})


if __name__ == "__main__":
    unittest.main()
