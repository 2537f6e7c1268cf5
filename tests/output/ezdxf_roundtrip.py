"""Reads every DXF file tarnpack writes back with ezdxf: each entity as our group codes state it."""

import json
import pathlib
import subprocess
import sys
import tempfile

try:
    from ezdxf import recover
except ImportError:
    sys.exit(77)  # skipped

LIBRARIES = [("tests/data/output/arcs_library.txt", "text"),
             ("tests/data/output/drawings.lst", "list"), ("examples/flanges.preSrc", "presrc")]
NUMBERS = {"LINE": ("start", "end"), "ARC": ("center", "radius", "start_angle", "end_angle"),
           "TEXT": ("insert", "height", "rotation"), "POINT": ("location",)}


def written(path):
    lines = path.read_bytes().split(b"\r\n")
    entities = []
    for code, value in ((int(c), v) for c, v in zip(lines[4::2], lines[5::2])):  # after ENTITIES
        if code == 0:
            entities.append([value.decode(), None, None])
        elif code == 8:
            entities[-1][1] = value.decode()
        elif code == 62:
            entities[-1][2] = int(value)
        elif code in (10, 20, 11, 21, 40, 50, 51):
            entities[-1].append(float(value))
        elif code not in (1, 30, 31):
            entities[-1].append(f"group code {code}")
    assert [e[0] for e in entities[-2:]] == ["ENDSEC", "EOF"], path
    return [tuple(e) for e in entities[:-2]]


def read(path):
    doc, auditor = recover.readfile(str(path))
    found = []
    for e in doc.modelspace():
        entity = [e.dxftype(), e.dxf.layer, e.dxf.color if e.dxf.hasattr("color") else None]
        for name in NUMBERS[e.dxftype()]:
            value = e.dxf.get(name)
            entity += [value.x, value.y] if hasattr(value, "x") else [value]
        found.append(tuple(entity))
    return found, [str(error.message) for error in auditor.errors]


failures = []
for library, fmt in LIBRARIES:
    with tempfile.TemporaryDirectory(prefix="tarn-ezdxf-") as out:
        run = subprocess.run([sys.argv[1], "--quiet", "--json", "--export-parts", "--format", fmt,
                              "--out", out, "--error-report", f"{out}/PackError.txt",
                              str(pathlib.Path(sys.argv[2]) / library)], capture_output=True)
        if run.returncode != 0 or json.loads(run.stdout)["warnings"]:
            failures.append(f"{library}: tarnpack {run.returncode} {run.stdout} {run.stderr}")
            continue
        files = sorted(pathlib.Path(out).glob("*.dxf"))
        if len(files) < 2:
            failures.append(f"{library}: no part drawings")
        for path in files:
            found, problems = read(path)
            if problems or found != written(path):
                failures.append(f"{library} {path.name}: audit {problems}, read {found}")
for failure in failures:
    print("FAILED", failure)
sys.exit(1 if failures else 0)
