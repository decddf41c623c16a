#!/usr/bin/env python3
"""Writes XML documents without what their parser never keeps: comments
between elements and the white space between markup.

    CompactXml.py <source folder> <output folder> <relative path>...

Each document <source folder>/<path> is written to <output folder>/<path>.
The locale documents are parsed with tinyxml2 keeping white space, and even
then a run of white space alone between two pieces of markup never becomes a
node, and comments are skipped where texts are read; so the compact document
parses to the same elements, attributes and texts. Text is copied byte for
byte, white space inside it included. A comment next to text stays, since
dropping it would join the texts on either side. A document without markup
(the BT override document, white space alone) is copied unchanged: the
language manager treats it as blank. LocaleDocumentsTest compares the parsed
documents before and after.
"""

import os
import sys


def tokens(data):
    """The document as (kind, bytes): "text" runs and "markup" (tags,
    declarations, CDATA) and "comment"s, in order."""
    position = 0
    while position < len(data):
        if data[position] != ord("<"):
            end = data.find(b"<", position)
            end = len(data) if end == -1 else end
            yield "text", data[position:end]
            position = end
            continue
        for opening, closing, kind in ((b"<!--", b"-->", "comment"), (b"<![CDATA[", b"]]>", "markup"),
                                       (b"<?", b"?>", "markup")):
            if data.startswith(opening, position):
                end = data.find(closing, position + len(opening))
                if end == -1:
                    raise ValueError(f"unterminated {opening.decode()} at byte {position}")
                end += len(closing)
                break
        else:
            kind, end, quote = "markup", position + 1, None
            while end < len(data) and (quote or data[end] != ord(">")):
                if quote and data[end] == quote:
                    quote = None
                elif not quote and data[end] in b"\"'":
                    quote = data[end]
                end += 1
            if end == len(data):
                raise ValueError(f"unterminated tag at byte {position}")
            end += 1
        yield kind, data[position:end]
        position = end


def compact(data):
    parts = list(tokens(data))
    if not any(kind == "markup" for kind, _ in parts):
        return data

    def beside_text(index):
        return any(0 <= i < len(parts) and parts[i][0] == "text" and parts[i][1].strip()
                   for i in (index - 1, index + 1))

    kept = []
    for index, (kind, part) in enumerate(parts):
        if kind == "text" and not part.strip():
            continue
        if kind == "comment" and not beside_text(index):
            continue
        kept.append(part)
    return b"".join(kept)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    source, output = sys.argv[1], sys.argv[2]
    for path in sys.argv[3:]:
        with open(os.path.join(source, path), "rb") as file:
            data = file.read()
        try:
            result = compact(data)
        except ValueError as error:
            sys.exit(f"CompactXml: {path}: {error}")
        target = os.path.join(output, path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        # Written only when it changes, so the resources are not rebuilt.
        if os.path.exists(target):
            with open(target, "rb") as file:
                if file.read() == result:
                    continue
        with open(target, "wb") as file:
            file.write(result)


if __name__ == "__main__":
    main()
