#!/usr/bin/env python3
"""Tests of scripts/module-graph on small trees made in a temporary folder.

Usage: module_graph_test.py <path of scripts/module-graph>
"""

import os
import subprocess
import sys
import tempfile
import textwrap
import unittest

TOOL = None

# A tree of three modules, low to high: text <- ui <- chat (chat/encoding nested in chat),
# with tests for chat, and the graph file that CMake would write for it.
TREE = {
    "src/text/gbk.h": "#pragma once\n",
    "src/text/gbk.cpp": '#include "text/gbk.h"\n',
    "src/ui/window.h": '#pragma once\n#include "text/gbk.h"\n',
    "src/ui/window.cpp": '#include "ui/window.h"\n#include "text/gbk.h"\n',
    "src/chat/encoding/markers.h": '#pragma once\n#include "text/gbk.h"\n',
    "src/chat/dlg_chat.cpp": '#include "chat/encoding/markers.h"\n#include "ui/window.h"\n',
    "include/pub/api.h": "#pragma once\n",
    "tests/support/print.h": '#pragma once\n#include "text/gbk.h"\n',
    "tests/chat/fixture.h": '#pragma once\n#include "support/print.h"\n',
    "tests/chat/chat_test.cpp": '#include "fixture.h"\n#include "chat/encoding/markers.h"\n'
                                '#include "text/gbk.h"\n#include "chat/recorder.h"\n'
                                '#include "support/doors/recording_window.h"\n',
    "tests/chat/recorder.h": "#pragma once\n",
    "tests/support/doors/recording_window.h": '#pragma once\n#include "ui/window.h"\n',
    "tests/text/gbk_test.cpp": '#include "text/gbk.h"\n',
}
GRAPH = [
    ("module", "pub", "include/pub", "pub", "", ""),
    ("module", "text", "src/text", "text", "", ""),
    ("module", "ui", "src/ui", "ui", "text", ""),
    ("module", "chat_encoding", "src/chat/encoding", "chat/encoding", "text", ""),
    ("module", "chat", "src/chat", "chat", "ui,chat_encoding", ""),
    ("unit", "test_support", "tests/support", "support", "text", ""),
    ("helpers", "test_support_doors", "tests/support/doors", "support/doors", "", ""),
    ("tests", "qorv_chat_tests", "tests/chat", "chat", "chat,test_support", "module=chat"),
    ("tests", "qorv_text_tests", "tests/text", "text", "text,test_support", "module=text"),
]


def make_tree(root, files, graph):
    for rel, text in files.items():
        path = os.path.join(root, rel)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text)
    graph_path = os.path.join(root, "module_graph.tsv")
    with open(graph_path, "w", encoding="utf-8") as f:
        f.write("# kind\tname\tpaths\tinclude prefixes\tdeps\textras\n")
        for fields in graph:
            f.write("\t".join(fields) + "\n")
    return graph_path


def with_deps(graph, name, deps):
    return [g[:4] + (deps,) + g[5:] if g[1] == name else g for g in graph]


class ModuleGraphTest(unittest.TestCase):
    def run_tool(self, command, files=None, graph=None):
        files = dict(TREE, **(files or {}))
        with tempfile.TemporaryDirectory() as root:
            graph_path = make_tree(root, files, graph or GRAPH)
            done = subprocess.run([sys.executable, TOOL, command, "--graph", graph_path,
                                   "--root", root], capture_output=True, text=True)
        return done.returncode, done.stdout + done.stderr

    def test_a_tree_inside_its_graph_passes(self):
        code, out = self.run_tool("check")
        self.assertEqual(code, 0, out)
        self.assertIn("all inside the declared graph", out)

    def test_includes_outside_the_graph_fail_with_the_file_line_and_fix(self):
        cases = [
            # (file, its text, what the report must say)
            ("src/text/extra.cpp", '// a text helper\n#include "ui/window.h"\n',
             ['src/text/extra.cpp:2: #include "ui/window.h" is a header of module ui, which '
              "text does not list in its DEPS", "ui already depends on text, so the edge would "
              "make a cycle"]),
            ("src/chat/encoding/links.cpp", '#include "ui/window.h"\n',
             ['src/chat/encoding/links.cpp:1: #include "ui/window.h" is a header of module ui, '
              "which chat_encoding does not list", "Fix: add ui to the DEPS of chat_encoding"]),
            ("src/chat/view.cpp", '#include "pub/api.h"\n',
             ['src/chat/view.cpp:1: #include "pub/api.h" is a header of module pub',
              "Fix: add pub to the DEPS of chat"]),
            ("src/ui/edit.cpp", '#include "support/print.h"\n',
             ["src/ui/edit.cpp:1", "header of module test_support, which ui does not list"]),
            ("src/ui/other.cpp", '#include "nowhere/thing.h"\n',
             ['src/ui/other.cpp:1: #include "nowhere/thing.h" is a header of no module']),
            ("tests/chat/more_test.cpp", '#include "pub/api.h"\n',
             ['tests/chat/more_test.cpp:1: #include "pub/api.h" is a header of module pub, '
              "which qorv_chat_tests does not see", "Fix: add pub to TEST_DEPS of chat"]),
            # A header-only helper counts as part of the test that includes it.
            ("tests/text/window_test.cpp", '#include "support/doors/recording_window.h"\n',
             ['tests/support/doors/recording_window.h:2: #include "ui/window.h" (reached from '
              "tests/text/window_test.cpp) is a header of module ui, which qorv_text_tests does "
              "not see"]),
            ("src/newpart/thing.cpp", "int x;\n",
             ["src/newpart/thing.cpp: belongs to no module"]),
        ]
        for rel, text, expected in cases:
            with self.subTest(file=rel):
                code, out = self.run_tool("check", {rel: text})
                self.assertEqual(code, 1, out)
                for phrase in expected:
                    self.assertIn(phrase, out)

    def test_a_layer_declared_too_low_is_told_to_move(self):
        # ui includes chat/encoding, which is declared after ui.
        code, out = self.run_tool("check", {"src/ui/marks.cpp": '#include "chat/encoding/markers.h"\n'})
        self.assertEqual(code, 1, out)
        self.assertIn("move the qorv_module line of chat_encoding above that of ui", out)

    def test_a_dependency_nothing_includes_fails(self):
        graph = with_deps(GRAPH, "ui", "text,pub")
        code, out = self.run_tool("check", graph=graph)
        self.assertEqual(code, 1, out)
        self.assertIn("ui: lists pub in its DEPS, but none of its files includes a header of pub",
                      out)

    def test_a_test_dependency_nothing_needs_fails(self):
        graph = with_deps(GRAPH, "qorv_chat_tests", "chat,pub,test_support")
        code, out = self.run_tool("check", graph=graph)
        self.assertEqual(code, 1, out)
        self.assertIn("TEST_DEPS of chat names pub", out)

    def test_derive_prints_the_direct_deps_in_a_layer_order(self):
        # ui now uses chat_encoding: derive must move chat_encoding above ui, add the edge, and
        # propose a module for the new folder.
        files = {"src/ui/marks.cpp": '#include "chat/encoding/markers.h"\n',
                 "src/jid/jid.h": '#pragma once\n#include "text/gbk.h"\n',
                 "tests/chat/jid_test.cpp": '#include "jid/jid.h"\n#include <thread>\n'
                                            "void f() { std::thread t; }\n"}
        code, out = self.run_tool("derive", files)
        self.assertEqual(code, 0, out)
        lines = [l for l in out.splitlines() if l.startswith("qorv_module(")]
        self.assertEqual(lines, [
            "qorv_module(pub include/pub)",
            "qorv_module(text src/text)",
            "qorv_module(chat_encoding src/chat/encoding DEPS text)",
            "qorv_module(ui src/ui DEPS text chat_encoding)",
            "qorv_module(chat src/chat DEPS ui chat_encoding TEST_DEPS jid THREADED)",
            "qorv_module(jid src/jid DEPS text)",
        ])

    def test_derive_reports_a_cycle(self):
        files = {"src/text/up.cpp": '#include "ui/window.h"\n'}
        code, out = self.run_tool("derive", files)
        self.assertEqual(code, 1, out)
        self.assertIn("cycle", out)


if __name__ == "__main__":
    TOOL = sys.argv.pop(1)
    unittest.main(verbosity=2)
