#!/bin/sh
# Regenerates the seed archives of fuzz/archive_index_fuzz with the Python oracle writer.
set -e
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../../../fuzz/corpus/archive_index_fuzz"
mkdir -p "$out"
python3 - "$here/archive_oracle.py" "$out" <<'PY'
import os, struct, subprocess, sys, tempfile, zlib
oracle, out = sys.argv[1], sys.argv[2]
spec = tempfile.NamedTemporaryFile("w", encoding="utf-8", delete=False)
spec.write("start.msb\t0\t%s\n" % b"hello".hex())
spec.write("bg\\a.png\t1\t%s\n" % bytes(range(8)).hex())
spec.write("\u8868.txt\t0\t\n")
spec.close()
subprocess.check_call([sys.executable, oracle, "write", os.path.join(out, "v102.dat"), spec.name])
os.unlink(spec.name)
# Version 0: no header, no scrambling, 32-bit offsets, every entry compressed.
body = zlib.compress(b"version zero")
name = b"old.txt"
head = struct.pack("<i", 1) + struct.pack("<i", len(name)) + name
start = len(head) + 8
open(os.path.join(out, "v0.dat"), "wb").write(head + struct.pack("<ii", start, start + len(body)) + body)
PY
