#!/usr/bin/python3
"""Writes the table by which the core's sorted list orders letters outside ASCII
(winlayer/core/sort_letters.inc), from the Unicode character database:

    tools/sort_letters.py winlayer/core/sort_letters.inc

For each letter from U+0080 to U+04FF that sorts otherwise than by its own number:
its base, the small letter it is written with without accents (Latin and Greek
letters, and the Cyrillic yo, lose their accents; other Cyrillic letters with marks
are letters of their own), and its small form. A list compares names by bases first,
so that case and accents do not decide where a name goes, and then by small forms, so
that accents alone do.
"""
import sys
import unicodedata


def small(c):
    lower = c.lower()
    return lower if len(lower) == 1 else c


def base(c):
    name = unicodedata.name(c, "")
    keeps_marks = name.startswith("CYRILLIC") and c not in "ёЁ"
    if name.startswith(("LATIN", "GREEK", "CYRILLIC")) and not keeps_marks:
        decomposed = unicodedata.normalize("NFD", c)
        if len(decomposed) > 1 and all(unicodedata.combining(m) for m in decomposed[1:]):
            c = decomposed[0]
    return small(c)


def main():
    rows = []
    for number in range(0x80, 0x500):
        c = chr(number)
        if base(c) != c or small(c) != c:
            rows.append("    {0x%04X, 0x%04X, 0x%04X}," % (number, ord(base(c)), ord(small(c))))
    with open(sys.argv[1], "w", encoding="ascii") as out:
        out.write("// Made by tools/sort_letters.py from the Unicode character database (%s):\n"
                  "// {letter, base, small form}, by letter.\n" % unicodedata.unidata_version)
        out.write("\n".join(rows) + "\n")


if __name__ == "__main__":
    main()
