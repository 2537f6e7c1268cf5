"""Reads back what output_dxf_samples wrote, with ezdxf's recover mode, and
compares the entities found with the counts the program expected.

Usage: ezdxf_roundtrip.py <output_dxf_samples> <repository root>
Exits 77 (skipped) when ezdxf is not installed.
"""

import collections
import json
import pathlib
import subprocess
import sys
import tempfile

try:
    from ezdxf import recover
except ImportError:
    print("ezdxf is not installed: skipped")
    sys.exit(77)

# library, format (1 text library, 2 part list, 3 preSrc)
LIBRARIES = [
    ("tests/data/output/arcs_library.txt", 1),
    ("tests/data/output/drawings.lst", 2),
    ("examples/brackets.txt", 1),
    ("examples/panels.lst", 2),
    ("examples/flanges.preSrc", 3),
]


def entity_counts(path):
    doc, auditor = recover.readfile(str(path))
    problems = [str(error.message) for error in auditor.errors]
    counts = collections.Counter()
    for entity in doc.modelspace():
        colour = str(entity.dxf.color) if entity.dxf.hasattr("color") else "-"
        counts[f"{entity.dxftype()} {entity.dxf.layer} {colour}"] += 1
    return dict(counts), problems


def check(name, path, expected, failures):
    found, problems = entity_counts(path)
    if problems:
        failures.append(f"{name}: audit errors {problems}")
    if found != expected:
        failures.append(f"{name}: found {found}, expected {expected}")


def main():
    program, root = sys.argv[1], pathlib.Path(sys.argv[2])
    failures = []
    checked = 0
    for library, fmt in LIBRARIES:
        source = root / library
        if not source.exists():
            print(f"{library}: not present, left out")
            continue
        with tempfile.TemporaryDirectory(prefix="tarn-ezdxf-") as folder:
            folder = pathlib.Path(folder)
            run = subprocess.run([program, str(source), str(fmt), str(folder)],
                                 capture_output=True, text=True)
            if run.returncode != 0:
                failures.append(f"{library}: writer failed: {run.stderr.strip()}")
                continue
            expected = json.loads((folder / "expected.json").read_text(encoding="utf-8"))
            if expected["notices"]:
                failures.append(f"{library}: warnings while writing: {expected['notices']}")
            check(f"{library} layout", folder / "layout.dxf", expected["layout"], failures)
            written = {p.name.encode("utf-8", "surrogateescape") for p in (folder / "parts").iterdir()}
            wanted = {name.encode("latin-1") for name in expected["parts"]}
            if written != wanted:
                failures.append(f"{library}: exported {sorted(written)}, expected {sorted(wanted)}")
            for name, counts in expected["parts"].items():
                path = folder / "parts" / name.encode("latin-1").decode("utf-8", "surrogateescape")
                if path.exists():
                    check(f"{library} {name}", path, counts, failures)
            checked += 1
            print(f"{library}: layout and {len(expected['parts'])} part files read back")
    for failure in failures:
        print("FAILED", failure)
    if checked == 0:
        print("FAILED no library found")
        return 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
