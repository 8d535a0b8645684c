#!/usr/bin/env python3
"""Chooses a small committed corpus for a libFuzzer target.

libFuzzer's own -merge keeps every input that adds a feature, which runs to
hundreds of files. This keeps the few inputs that together cover the most
edges: libFuzzer's merge first cuts the candidates down, then each
candidate's edges are read from a merge control file of its own, and inputs
are taken greedily by the edges they add, up to COUNT of them.

Usage: pick_corpus.py FUZZER OUT_DIR COUNT IN_DIR...
"""
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile


def edges(fuzzer, path):
    with tempfile.TemporaryDirectory() as one, tempfile.TemporaryDirectory() as out:
        shutil.copy(path, one)
        control = os.path.join(out, "control")
        subprocess.run([fuzzer, "-merge=1", "-use_counters=0", "-merge_control_file=" + control, out, one],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        found = set()
        if os.path.exists(control):
            with open(control) as f:
                for line in f:
                    parts = line.split()
                    if parts and parts[0] == "COV":
                        found.update(parts[2:])
        return found


def main():
    fuzzer, out_dir, count, in_dirs = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4:]
    with tempfile.TemporaryDirectory() as merged:
        subprocess.run([fuzzer, "-merge=1", "-use_counters=0", merged] + in_dirs,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        candidates = {os.path.join(merged, f): None for f in os.listdir(merged)}
        for path in candidates:
            candidates[path] = edges(fuzzer, path)
        universe = set().union(*candidates.values()) if candidates else set()
        chosen, covered = [], set()
        while candidates and len(chosen) < count and covered != universe:
            best = max(candidates, key=lambda p: (len(candidates[p] - covered), -os.path.getsize(p)))
            chosen.append(best)
            covered |= candidates.pop(best)
        for name in os.listdir(out_dir):
            os.remove(os.path.join(out_dir, name))
        for path in chosen:
            with open(path, "rb") as f:
                data = f.read()
            with open(os.path.join(out_dir, hashlib.sha1(data).hexdigest()), "wb") as f:
                f.write(data)
        print(f"{len(chosen)} inputs cover {len(covered)} of {len(universe)} edges")


if __name__ == "__main__":
    main()
