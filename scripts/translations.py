#!/usr/bin/env python3
"""The program's translations, kept in translations/orvane_fr.ts.

  translations.py update LUPDATE [FILL.jsonl ...]
      Brings the .ts file up to date with the sources (lupdate, no line
      numbers, no obsolete entries), then fills translations from JSON-lines
      files: {"context": ..., "source": ..., "fr": "..." or ["one", "many"]}.
  translations.py check LUPDATE
      Fails when an entry is missing, unfinished or obsolete, when a
      translation's placeholders differ from its source's, or when a source
      file holds an operator-facing text that does not go through
      translation.

Texts that are not shown to the operator (keys, protocol texts, file lines)
are marked in the source with a comment holding "untranslated" on the
literal's line, between "untranslated-begin" and "untranslated-end" lines, or
for a whole file in a comment "untranslated file" in its first 5 lines.
"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TS = os.path.join(ROOT, "translations", "orvane_fr.ts")
SOURCES = os.path.join(ROOT, "src")

TRANSLATING = {"translate", "translateQ", "tr", "QT_TRANSLATE_NOOP",
               "QT_TRANSLATE_NOOP3", "QT_TR_NOOP", "QT_TRANSLATE_N_NOOP"}


def run_lupdate(lupdate, ts):
    result = subprocess.run(
        [lupdate, "-silent", "-locations", "none", "-no-obsolete", "-target-language", "fr_FR",
         "-tr-function-alias", "translate+=translateQ",
         "-extensions", "cpp,h", SOURCES, "-ts", ts],
        capture_output=True, text=True)
    if result.returncode != 0:
        sys.exit("lupdate failed:\n" + result.stdout + result.stderr)
    problems = [l for l in (result.stdout + result.stderr).splitlines()
                if "warning" in l.lower() or "error" in l.lower()]
    return problems


def messages(tree):
    for context in tree.getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            yield name, message


def fill(ts, fills):
    tree = ET.parse(ts)
    filled = 0
    for context, message in messages(tree):
        key = (context, message.findtext("source"))
        if key not in fills:
            continue
        translation = message.find("translation")
        value = fills[key]
        if message.get("numerus") == "yes":
            forms = value if isinstance(value, list) else [value, value]
            for child in list(translation):
                translation.remove(child)
            translation.text = None
            for form in forms:
                ET.SubElement(translation, "numerusform").text = form
        else:
            translation.text = value if isinstance(value, str) else value[0]
        translation.attrib.pop("type", None)
        filled += 1
    write_ts(tree, ts)
    return filled


def write_ts(tree, ts):
    body = ET.tostring(tree.getroot(), encoding="unicode")
    with open(ts, "w", encoding="utf-8") as f:
        f.write('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n' + body + "\n")


def read_fills(paths):
    fills = {}
    for path in paths:
        with open(path, encoding="utf-8") as f:
            for n, line in enumerate(f, 1):
                if line.strip():
                    entry = json.loads(line)
                    fills[(entry["context"], entry["source"])] = entry["fr"]
    return fills


PLACEHOLDER = re.compile(r"%(?:[1-9]|n|[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|z|j|t)?[diouxXeEfgGcsp])")


def placeholders(text):
    return sorted(PLACEHOLDER.findall((text or "").replace("%%", "")))


def check_ts(ts):
    problems = []
    tree = ET.parse(ts)
    for context, message in messages(tree):
        source = message.findtext("source")
        translation = message.find("translation")
        where = '%s: "%s"' % (context, source)
        kind = translation.get("type")
        if kind in ("obsolete", "vanished"):
            problems.append(where + ": no longer in the sources")
            continue
        forms = [f.text for f in translation.iter("numerusform")] or [translation.text]
        if kind == "unfinished" or any(not f for f in forms):
            problems.append(where + ": not translated")
            continue
        for form in forms:
            if placeholders(form) != placeholders(source):
                problems.append(where + ': placeholders differ in "%s"' % form)
    return problems


# --- operator-facing literals that bypass translation ----------------------

WORDS = re.compile(r"[A-Za-zÀ-ÿ]{2,}[ ]+[A-Za-zÀ-ÿ(\"']{1,}")


def literals(text):
    """Yields (line, literal text, enclosing calls) for each string literal."""
    i, n, line = 0, len(text), 1
    stack = []
    last_word = None
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif text.startswith("//", i):
            end = text.find("\n", i)
            i = n if end < 0 else end
        elif text.startswith("/*", i):
            end = text.find("*/", i)
            end = n if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
        elif c == "#" and (i == 0 or text[i - 1] == "\n"):
            end = text.find("\n", i)
            while end > 0 and text[end - 1] == "\\":
                end = text.find("\n", end + 1)
            end = n if end < 0 else end
            line += text.count("\n", i, end)
            i = end
        elif c == "R" and text.startswith('R"', i) and not (i and (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_paren = text.find("(", i)
            delim = text[i + 2:open_paren]
            end = text.find(")" + delim + '"', open_paren)
            body = text[open_paren + 1:end]
            yield line, body, list(stack)
            line += text.count("\n", i, end)
            i = end + len(delim) + 2
            last_word = None
        elif c == '"':
            j = i + 1
            while j < n and text[j] != '"':
                j += 2 if text[j] == "\\" else 1
            yield line, text[i + 1:j], list(stack)
            i = j + 1
            last_word = None
        elif c == "'":
            if i and text[i - 1].isalnum():  # a digit separator
                i += 1
                continue
            j = i + 1
            while j < n and text[j] != "'":
                j += 2 if text[j] == "\\" else 1
            i = j + 1
        elif c.isalpha() or c == "_":
            j = i
            while j < n and (text[j].isalnum() or text[j] == "_"):
                j += 1
            last_word = text[i:j]
            i = j
        elif c == "(":
            stack.append(last_word)
            last_word = None
            i += 1
        elif c == ")":
            if stack:
                stack.pop()
            i += 1
        else:
            if not c.isspace():
                last_word = None
            i += 1


def exempt_lines(text):
    lines = text.split("\n")
    if any("untranslated file" in l for l in lines[:5]):
        return None
    exempt = set()
    inside = False
    for number, l in enumerate(lines, 1):
        if "untranslated-begin" in l:
            inside = True
        if inside or ("//" in l and "untranslated" in l[l.index("//"):]):
            exempt.add(number)
        if "untranslated-end" in l:
            inside = False
    return exempt


def looks_operator_facing(body):
    plain = re.sub(r"\\x[0-9a-fA-F]{2}|\\[0-7]{1,3}|\\.", " ", body)
    plain = PLACEHOLDER.sub(" ", plain)
    return WORDS.search(plain) is not None


def bypassing_literals():
    found = []
    for folder, _, files in os.walk(SOURCES):
        for name in sorted(files):
            if not name.endswith((".cpp", ".h")):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            exempt = exempt_lines(text)
            if exempt is None:
                continue
            for line, body, calls in literals(text):
                if line in exempt or any(c in TRANSLATING for c in calls):
                    continue
                if looks_operator_facing(body):
                    found.append('%s:%d: "%s" does not go through translation'
                                 % (os.path.relpath(path, ROOT), line, body[:70]))
    return found


def main():
    if len(sys.argv) < 3 or sys.argv[1] not in ("update", "check"):
        sys.exit(__doc__)
    lupdate = sys.argv[2]
    if sys.argv[1] == "update":
        run_lupdate(lupdate, TS)
        filled = fill(TS, read_fills(sys.argv[3:]))
        print("translations: %s updated, %d translation(s) filled in" % (TS, filled))
        return
    with tempfile.TemporaryDirectory() as tmp:
        copy = os.path.join(tmp, "orvane_fr.ts")
        shutil.copy(TS, copy)
        problems = ["lupdate: " + p for p in run_lupdate(lupdate, copy)]
        problems += check_ts(copy)
        keys = lambda ts: {(c, m.findtext("source")) for c, m in messages(ET.parse(ts))}
        for context, source in sorted(keys(TS) - keys(copy)):
            problems.append('%s: "%s": no longer in the sources' % (context, source))
    problems += bypassing_literals()
    for p in problems:
        print(p)
    if problems:
        print("%d problem(s); scripts/translations.py update brings the .ts file up to date"
              % len(problems))
        sys.exit(1)
    print("translations: complete")


if __name__ == "__main__":
    main()
