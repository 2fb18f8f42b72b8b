#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the texts of the dialog templates and the string table as
QT_TRANSLATE_NOOP entries, so that lupdate, which reads no JSON, finds them.
The window translates them in the same contexts when it loads them.

  extract_texts.py RES_DIR OUTPUT        write OUTPUT
  extract_texts.py RES_DIR OUTPUT --check  fail when OUTPUT is not current
"""
import json
import pathlib
import sys


def literal(text):
    return json.dumps(text, ensure_ascii=False)


def texts(res):
    seen = []
    for path in sorted((res / "templates").glob("*.json")):
        template = json.loads(path.read_text(encoding="utf-8"))
        for text in [template.get("caption", "")] + [t for item in template["items"]
                                                     for t in (item.get("caption", ""), item.get("name", ""))]:
            entry = ("CDialogTemplate", text)
            if text and entry not in seen:
                seen.append(entry)
    table = json.loads((res / "strings.json").read_text(encoding="utf-8"))
    for key in sorted(table, key=int):
        entry = ("CStringTable", table[key])
        if entry not in seen:
            seen.append(entry)
    return seen


def render(res):
    lines = ["// SPDX-License-Identifier: GPL-3.0-or-later",
             "// Written by tools/extract_texts.py from res/templates and res/strings.json:",
             "// lupdate's view of them. Not compiled.",
             "#include <QtGlobal>", "",
             "static const char* const kTexts[] = {"]
    lines += ["    QT_TRANSLATE_NOOP(%s, %s)," % (literal(c), literal(t)) for c, t in texts(res)]
    lines += ["};", ""]
    return "\n".join(lines)


def main():
    res, output = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    wanted = render(res)
    if "--check" in sys.argv[3:]:
        if not output.exists() or output.read_text(encoding="utf-8") != wanted:
            print("%s is not current: run tools/extract_texts.py %s %s" % (output, res, output), file=sys.stderr)
            return 1
        return 0
    output.write_text(wanted, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
