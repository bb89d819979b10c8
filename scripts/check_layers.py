#!/usr/bin/env python3
"""Checks that the product folders stand on floors.

Every `#include "folder/..."` of a product folder must name its own folder or one below it,
no header may take part in an include circle, and only platform/ may include SDL or the
operating system's own headers. The floor order is kept here and at the top of
docs/architecture.md; the two must agree.

Usage: check_layers.py [SOURCE_ROOT]   (exit status 1 and one line per fault when broken)
"""
import os
import re
import sys

# Lowest first. A folder may include itself and the folders before it.
FLOORS = ["core", "platform", "archive", "expr", "graphics", "text", "media",
          "script", "components", "app", "tools"]

# Headers only platform/ may include: SDL and the system interfaces of the operating system.
OS_HEADER = re.compile(
    r"^(SDL[^/]*(/.*)?\.h|SDL2/.*|unistd\.h|fcntl\.h|dirent\.h|dlfcn\.h|pthread\.h|signal\.h|"
    r"termios\.h|poll\.h|pwd\.h|grp\.h|syslog\.h|iconv\.h|langinfo\.h|mntent\.h|spawn\.h|"
    r"sys/.*|linux/.*|netinet/.*|arpa/.*|windows\.h|winsock2?\.h|fontconfig/.*)$")

LOCAL_INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SYSTEM_INCLUDE = re.compile(r"^\s*#\s*include\s+<([^>]+)>")
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".inc")


def product_files(root):
    for floor in FLOORS:
        top = os.path.join(root, floor)
        for folder, _, names in os.walk(top):
            for name in sorted(names):
                if name.endswith(SOURCE_SUFFIXES):
                    yield floor, os.path.relpath(os.path.join(folder, name), root)


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), ".."))
    rank = {floor: index for index, floor in enumerate(FLOORS)}
    order = " < ".join(FLOORS)
    faults = []
    edges = {}  # header graph for the circle search: file -> [(included file, line)]

    for floor, path in product_files(root):
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            lines = source.readlines()
        for number, line in enumerate(lines, start=1):
            local = LOCAL_INCLUDE.match(line)
            if local:
                target = local.group(1)
                target_floor = target.split("/", 1)[0]
                if target_floor in rank and rank[target_floor] > rank[floor]:
                    faults.append(f"{path}:{number}: {floor}/ includes \"{target}\", but {target_floor}/ "
                                  f"stands above {floor}/ ({order})")
                if os.path.exists(os.path.join(root, target)):
                    edges.setdefault(path, []).append((target, number))
                continue
            system = SYSTEM_INCLUDE.match(line)
            if system and floor != "platform" and OS_HEADER.match(system.group(1)):
                faults.append(f"{path}:{number}: <{system.group(1)}> outside platform/ "
                              f"(only platform/ talks to SDL or the operating system)")

    # Include circles among the product files (pragma once hides them from the compiler).
    state = {}
    stack = []

    def visit(path):
        state[path] = "open"
        stack.append(path)
        for target, number in edges.get(path, []):
            if state.get(target) == "open":
                circle = stack[stack.index(target):] + [target]
                faults.append(f"{path}:{number}: include circle: " + " -> ".join(circle))
            elif target not in state:
                visit(target)
        stack.pop()
        state[path] = "done"

    sys.setrecursionlimit(10000)
    for path in sorted(edges):
        if path not in state:
            visit(path)

    for fault in faults:
        print(fault)
    if faults:
        print(f"layering check: {len(faults)} fault(s)")
        return 1
    print("layering check: every include stands on a lower floor, no circles")
    return 0


if __name__ == "__main__":
    sys.exit(main())
