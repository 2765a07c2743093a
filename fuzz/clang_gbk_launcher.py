#!/usr/bin/env python3
"""Compiler launcher that lets clang build sources whose string literals must be GBK.

The tree is compiled with -fexec-charset=GBK, which GCC supports and clang does not (clang
knows only UTF-8). Used as CMAKE_CXX_COMPILER_LAUNCHER, this script takes the compile command,
drops -fexec-charset=GBK, preprocesses the source, rewrites every non-ASCII character inside
ordinary narrow string literals as GBK "\\xNN" escapes, and compiles the result. The program
then holds the same bytes as a GCC build. Commands that do not compile with that flag run as
they are.
"""

import os
import subprocess
import sys
import tempfile

GBK_FLAG = "-fexec-charset=GBK"
DEPENDENCY_FLAGS_WITH_VALUE = {"-MT", "-MF", "-MQ"}
DEPENDENCY_FLAGS = {"-MD", "-MMD"}
STRING_PREFIXES = {"", "u8", "u", "U", "L", "R", "u8R", "uR", "UR", "LR"}
IDENT_CHARS = set("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_")
HEX_DIGITS = set("0123456789abcdefABCDEF")


def escape_gbk(text):
    """Body of a narrow literal: non-ASCII characters become GBK escapes."""
    out = []
    after_hex_escape = False
    for ch in text:
        if ord(ch) < 0x80:
            if after_hex_escape and ch in HEX_DIGITS:
                out.append('""')  # end the literal so the digit is not read into the escape
            out.append(ch)
            after_hex_escape = False
        else:
            out.extend("\\x%02X" % b for b in ch.encode("gbk"))
            after_hex_escape = True
    return "".join(out)


def escape_raw(body):
    """A raw literal's characters as the body of an ordinary literal."""
    out = []
    for ch in body:
        if ch in '"\\':
            out.append("\\" + ch)
        elif ch == "\n":
            out.append("\\n")
        elif ch == "\t":
            out.append("\\t")
        elif ch == "\r":
            out.append("\\r")
        else:
            out.append(ch)
    return escape_gbk("".join(out))


def rewrite(source):
    out = []
    i = 0
    n = len(source)
    line_start = True
    while i < n:
        c = source[i]
        if line_start:
            j = i
            while j < n and source[j] in " \t":
                j += 1
            if j < n and source[j] == "#":  # a line marker or pragma: keep as it is
                end = source.find("\n", j)
                end = n if end < 0 else end + 1
                out.append(source[i:end])
                i = end
                continue
            line_start = False
        if c == "\n":
            out.append(c)
            i += 1
            line_start = True
        elif c in IDENT_CHARS and not c.isdigit():
            j = i
            while j < n and source[j] in IDENT_CHARS:
                j += 1
            word = source[i:j]
            if j < n and source[j] == '"' and word in STRING_PREFIXES:
                i = string_literal(source, j, word, out)
            elif j < n and source[j] == "'" and word in ("u8", "u", "U", "L"):
                out.append(word)
                i = char_literal(source, j, out)
            else:
                out.append(word)
                i = j
        elif c.isdigit() or (c == "." and i + 1 < n and source[i + 1].isdigit()):
            j = i + 1
            while j < n:
                d = source[j]
                if d in IDENT_CHARS or d == "." or (d == "'" and j + 1 < n and source[j + 1] in IDENT_CHARS):
                    j += 1
                elif d in "+-" and source[j - 1] in "eEpP":
                    j += 1
                else:
                    break
            out.append(source[i:j])
            i = j
        elif c == '"':
            i = string_literal(source, i, "", out)
        elif c == "'":
            i = char_literal(source, i, out)
        else:
            out.append(c)
            i += 1
    return "".join(out)


def string_literal(source, quote, prefix, out):
    """Copies the literal opening at `quote`; answers the index after it."""
    n = len(source)
    if prefix.endswith("R"):
        paren = source.index("(", quote)
        delimiter = source[quote + 1:paren]
        close = source.index(")" + delimiter + '"', paren)
        body = source[paren + 1:close]
        end = close + len(delimiter) + 2
        if prefix == "R" and any(ord(ch) >= 0x80 for ch in body):
            out.append('"' + escape_raw(body) + '"')
        else:
            out.append(prefix + source[quote:end])
        return end
    j = quote + 1
    while j < n and source[j] != '"':
        j += 2 if source[j] == "\\" else 1
    body = source[quote + 1:j]
    if prefix == "":
        out.append('"' + escape_gbk(body) + '"')
    else:
        out.append(prefix + '"' + body + '"')
    return j + 1


def char_literal(source, quote, out):
    n = len(source)
    j = quote + 1
    while j < n and source[j] != "'" and source[j] != "\n":
        j += 2 if source[j] == "\\" else 1
    out.append(source[quote:j + 1])
    return j + 1


def main(argv):
    command = argv[1:]
    if GBK_FLAG not in command or "-c" not in command:
        os.execvp(command[0], command)
    command = [arg for arg in command if arg != GBK_FLAG]
    source_index = command.index("-c") + 1
    source = command[source_index]

    with tempfile.TemporaryDirectory(prefix="qorv-gbk-") as work:
        preprocessed = os.path.join(work, "source.ii")
        rewritten = os.path.join(work, "source.gbk.ii")

        # Preprocess: the same command with -E, so dependency files are written as usual.
        preprocess = list(command)
        preprocess[source_index - 1] = "-E"
        output_index = preprocess.index("-o") + 1 if "-o" in preprocess else None
        if output_index is None:
            preprocess += ["-o", preprocessed]
        else:
            preprocess[output_index] = preprocessed
        result = subprocess.run(preprocess)
        if result.returncode != 0:
            return result.returncode

        with open(preprocessed, encoding="utf-8", errors="surrogateescape") as f:
            text = f.read()
        try:
            converted = rewrite(text)
        except UnicodeEncodeError as error:
            sys.stderr.write("%s: a string literal holds a character GBK cannot encode: %s\n" % (source, error))
            return 1
        with open(rewritten, "w", encoding="utf-8", errors="surrogateescape") as f:
            f.write(converted)

        compile_command = []
        skip = False
        for arg in command:
            if skip:
                skip = False
                continue
            if arg in DEPENDENCY_FLAGS_WITH_VALUE:
                skip = True
                continue
            if arg in DEPENDENCY_FLAGS:
                continue
            compile_command.append(arg)
        at = compile_command.index("-c") + 1
        # Include paths and macros did their work in the first step.
        compile_command[at:at + 1] = ["-Wno-unused-command-line-argument", "-x", "c++-cpp-output", rewritten]
        return subprocess.run(compile_command).returncode


if __name__ == "__main__":
    sys.exit(main(sys.argv))
