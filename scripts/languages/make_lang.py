#!/usr/bin/env python3
"""Builds the program's language files from the readable tables beside this script.

Each NAME.txt (UTF-8, one "key=value" per line, "#" lines and empty lines ignored) becomes
resources/languages/NAME.lang in the translator's format: UTF-16 little-endian with the
byte-order mark FF FE, CR LF between lines and none after the last (a final CR LF would add an
entry with an empty key). Every table must hold the keys of english.txt in the same order.

    make_lang.py           write the .lang files
    make_lang.py --check   only tell whether the .lang files match the tables (exit 1 if not)
"""
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
OUT = HERE.parent.parent / "resources" / "languages"
REFERENCE = "english"


def read_table(path):
    entries = []
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line or line.startswith("#"):
            continue
        if "=" not in line:
            sys.exit(f"{path.name}:{number}: no '=' in {line!r}")
        key, value = line.split("=", 1)
        if not value:
            sys.exit(f"{path.name}:{number}: {key!r} has no text")
        entries.append((key, value))
    return entries


def check_keys(name, entries, reference):
    keys = [key for key, _ in entries]
    folded = [key.casefold() for key in keys]
    # The translator compares keys without regard to case: two such keys would be one.
    duplicates = sorted({key for key in folded if folded.count(key) > 1})
    if duplicates:
        sys.exit(f"{name}: keys given twice: {duplicates}")
    if keys[0] != "languageName":
        sys.exit(f"{name}: the first entry must be languageName")
    if reference is not None and keys != reference:
        missing = [k for k in reference if k not in keys]
        extra = [k for k in keys if k not in reference]
        sys.exit(f"{name}: keys differ from {REFERENCE}.txt (missing {missing}, extra {extra}, or order)")
    return keys


def lang_bytes(entries):
    text = "\r\n".join(f"{key}={value}" for key, value in entries)
    return b"\xff\xfe" + text.encode("utf-16-le")


def main():
    check_only = "--check" in sys.argv[1:]
    tables = sorted(HERE.glob("*.txt"), key=lambda p: (p.stem != REFERENCE, p.stem))
    reference = None
    stale = []
    for table in tables:
        entries = read_table(table)
        keys = check_keys(table.name, entries, reference)
        if reference is None:
            reference = keys
        target = OUT / (table.stem + ".lang")
        data = lang_bytes(entries)
        if check_only:
            if not target.exists() or target.read_bytes() != data:
                stale.append(target.name)
        else:
            target.write_bytes(data)
            print(f"{target.relative_to(HERE.parent.parent)}: {len(entries)} entries")
    if stale:
        sys.exit(f"out of date: {', '.join(stale)} (run {pathlib.Path(__file__).name})")


if __name__ == "__main__":
    main()
