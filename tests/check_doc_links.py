#!/usr/bin/python3
"""Checks that every relative link and image in README.md and docs/*.md resolves: the
file or folder is there, and a "#part" names a heading of the page it points to, as the
project's site turns headings into anchors. Links with a scheme (https:, mailto:) are
not followed. Code (fenced blocks and `spans`) is skipped.

    check_doc_links.py SOURCE_DIR

Prints each broken link as FILE:LINE: TARGET (why); exit status 1 if there is one, or
if no link was found at all.
"""
import os
import re
import sys

INLINE = re.compile(r"!?\[(?:[^\[\]]|\[[^\]]*\])*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE = re.compile(r"^\s{0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s+.*)?$")
HTML = re.compile(r"<(?:img|a)\b[^>]*?\b(?:src|href)=\"([^\"]+)\"", re.IGNORECASE)
HEADING = re.compile(r"^\s{0,3}#{1,6}\s+(.*?)\s*#*\s*$")
SCHEME = re.compile(r"^[A-Za-z][A-Za-z0-9+.-]*:")


def prose_lines(path):
    """(number, line) of each line outside fenced code, with inline code blanked."""
    fence = None
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            marker = re.match(r"^\s{0,3}(`{3,}|~{3,})", line)
            if marker:
                if fence is None:
                    fence = marker.group(1)[0] * 3
                elif marker.group(1).startswith(fence):
                    fence = None
                continue
            if fence is None:
                yield number, re.sub(r"`+[^`]*`+", "", line)


def anchors(path):
    """The anchors of a page's headings: lower case, punctuation dropped, spaces as
    hyphens, and a repeated one numbered."""
    seen = {}
    found = set()
    for _, line in prose_lines(path):
        heading = HEADING.match(line)
        if not heading:
            continue
        text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", heading.group(1))
        slug = re.sub(r"[^\w\- ]", "", text.lower()).replace(" ", "-")
        count = seen.get(slug, 0)
        seen[slug] = count + 1
        found.add(slug if count == 0 else "%s-%d" % (slug, count))
    return found


def broken(page, target, root):
    """Why the link `target` on `page` does not resolve, or None."""
    if SCHEME.match(target) or target.startswith("//"):
        return None
    path, _, part = target.partition("#")
    resolved = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
    if os.path.relpath(resolved, root).startswith(os.pardir):
        return "outside the source tree"
    if not os.path.exists(resolved):
        return "no such file"
    if part and resolved.endswith(".md") and part not in anchors(resolved):
        return "no heading for #" + part
    return None


def main():
    root = os.path.abspath(sys.argv[1])
    docs = os.path.join(root, "docs")
    pages = [os.path.join(root, "README.md")] + sorted(
        os.path.join(docs, name) for name in os.listdir(docs) if name.endswith(".md"))
    failures = checked = 0
    for page in pages:
        for number, line in prose_lines(page):
            targets = INLINE.findall(line) + HTML.findall(line)
            reference = REFERENCE.match(line)
            if reference:
                targets.append(reference.group(1))
            for target in targets:
                checked += 1
                why = broken(page, target, root)
                if why:
                    failures += 1
                    print("%s:%d: %s (%s)" % (os.path.relpath(page, root), number, target, why))
    print("%d links and images in %d pages, %d broken" % (checked, len(pages), failures))
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
