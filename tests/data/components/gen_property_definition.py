#!/usr/bin/env python3
"""Expected property table, read once from the written property definition (a Markdown
document given as the argument) and committed as property_definition.tsv, so that the test
of components/property_table.cpp compares that table with rows nobody copied from it.

The document holds three things this reads:
  - the table of component types: | Code | Name | Caption | Class created |
  - the sentence that says which type codes "all visual" means ("all visual means every
    visual type 2–6, 8, ...");
  - the sentence that gives the neutral value a type that does not implement a property
    reads ("... reading yields the neutral value: 0, 0.0, false or the empty string, except
    `PR_ZOOMX`, ... (256), ..., and `PR_ORIGWIDTH`/`PR_ORIGHEIGHT`, which read the object's
    `PR_WIDTH`/`PR_HEIGHT`.");
  - the property table: | Id | Name | Caption | Type | Default | Implemented by |

property_definition.tsv, one row a property, in id order:
  id <TAB> name <TAB> caption (UTF-8; a line break written \\r\\n) <TAB> type (int, real, flag,
  string) <TAB> default (as written: a number, "", false, true, 0.0, or - for never a
  creation parameter) <TAB> answered by: "every" (every object), "none", or the type names
  (LT_...) separated by spaces, "all visual" spread into its types <TAB> neutral read of a
  type that does not implement it (a number, "", false, true, 0.0, or =PR_WIDTH / =PR_HEIGHT
  for a property that reads that one instead).
Run from this folder: python3 gen_property_definition.py DEFINITION.md
"""
import re
import sys


def table_rows(lines, header):
    """The cells of every row of the Markdown table whose header row starts with `header`."""
    for at, line in enumerate(lines):
        if line.startswith(header):
            rows = []
            for row in lines[at + 2:]:
                if not row.startswith("|"):
                    break
                rows.append([cell.strip() for cell in row.strip().strip("|").split("|")])
            return rows
    sys.exit(f"no table starting {header!r}")


def neutral_values(text):
    """Property name -> its neutral value, for the properties the neutral sentence excepts."""
    match = re.search(r"reading yields the neutral value: 0, 0\.0, false or the empty string, except (.*?)\.\n", text)
    if not match:
        sys.exit("no sentence giving the neutral values")
    sentence = match.group(1)
    values = {}
    for names, value in re.findall(r"((?:`PR_\w+`(?:, | and )?)+) \(([^)]+)\)", sentence):
        if value.startswith("0x"):
            value = str(int(value, 16))
        for name in re.findall(r"`(PR_\w+)`", names):
            values[name] = value
    reads = re.search(r"`(PR_\w+)`/`(PR_\w+)`, which read the object's `(PR_\w+)`/`(PR_\w+)`", sentence)
    if not reads:
        sys.exit("no properties that read others")
    values[reads.group(1)] = "=" + reads.group(3)
    values[reads.group(2)] = "=" + reads.group(4)
    return values


def unquote(cell):
    return cell[1:-1] if len(cell) >= 2 and cell[0] in "`\"" and cell[-1] == cell[0] else cell


def main():
    with open(sys.argv[1], encoding="utf-8") as source:
        lines = source.read().splitlines()
    types = {}  # short name (BOX) -> full name (LT_BOX), by code order
    codes = {}
    for code, name, _caption, _made in table_rows(lines, "| Code | Name | Caption | Class created |"):
        full = unquote(name)
        types[full[3:]] = full
        codes[int(code)] = full
    text = "\n".join(lines)
    match = re.search(r"all visual means every visual type ([0-9–, ]+)\.", text)
    if not match:
        sys.exit("no sentence saying what all visual means")
    visual = []
    for part in match.group(1).split(","):
        low, _, high = part.strip().partition("–")
        visual += range(int(low), int(high or low) + 1)
    all_visual = [codes[code] for code in visual]

    neutral = neutral_values(text)
    rows = table_rows(lines, "| Id | Name | Caption | Type | Default | Implemented by |")
    with open("property_definition.tsv", "w", encoding="utf-8", newline="\n") as out:
        for expected_id, (pid, name, caption, kind, default, answered) in enumerate(rows):
            if int(pid) != expected_id:
                sys.exit(f"row {expected_id} has id {pid}")
            if answered == "every object":
                who = "every"
            elif answered == "none":
                who = "none"
            else:
                names = []
                for part in answered.split(","):
                    part = part.strip()
                    names += all_visual if part == "all visual" else [types[part]]
                # In type code order, each once.
                order = {full: code for code, full in codes.items()}
                who = " ".join(sorted(set(names), key=order.get))
            default = "-" if default == "—" else default
            name = unquote(name)
            zero = {"int": "0", "real": "0.0", "flag": "false", "string": '""'}[kind]
            out.write(f"{pid}\t{name}\t{unquote(caption)}\t{kind}\t{default}\t{who}\t{neutral.pop(name, zero)}\n")
    if neutral:
        sys.exit(f"neutral values of unknown properties: {neutral}")
    if len(rows) != 165:
        sys.exit(f"{len(rows)} properties, not 165")


if __name__ == "__main__":
    main()
