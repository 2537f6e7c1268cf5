#!/usr/bin/env python3
"""Writes the bundled part libraries of TarnPacking.

    python3 examples/make_examples.py

Produces, next to this script:
  brackets.txt     text part library: brackets, clips, gussets and two base plates
  flanges.preSrc   preSrc file: flanges, rings, sectors and notched plates
  panels.lst       part list file naming the folder panels/
  panels/*.dxf     one ASCII DXF drawing per part: panels, channels, brackets

Every outline is checked before it is written: arcs are at most a half turn and
have a radius above 1 mm, outlines are closed and simple, holes lie inside the
outer outline and apart from each other. Standard library only.
"""

import math
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

MIN_RADIUS = 1.0  # mm; the load check drops arcs whose radius is not above the chord height
CHECK_STEP_DEG = 3.0  # discretisation used by the self-check only


# ---------------------------------------------------------------- geometry model


class Loop:
    """A closed outline: vertices joined by lines or by arcs of a known centre.

    edges[i] joins pts[i] to pts[i + 1] (the last one back to pts[0]); it is None
    for a straight edge, else (cx, cy, ccw) for an arc turning counter-clockwise
    (ccw true) or clockwise about (cx, cy).
    """

    def __init__(self, x, y):
        self.pts = [(x, y)]
        self.edges = []

    def line(self, x, y):
        self.edges.append(None)
        self.pts.append((x, y))
        return self

    def arc(self, x, y, cx, cy, ccw):
        self.edges.append((cx, cy, ccw))
        self.pts.append((x, y))
        return self

    def close_line(self):
        self.edges.append(None)
        return self

    def close_arc(self, cx, cy, ccw):
        self.edges.append((cx, cy, ccw))
        return self

    def signed_radii(self):
        """The radius of each edge, signed as the readers expect: positive when the
        arc turns counter-clockwise from its start to its end, 0 for a line."""
        radii = []
        k = len(self.pts)
        for i, edge in enumerate(self.edges):
            if edge is None:
                radii.append(0.0)
                continue
            sx, sy = self.pts[i]
            ex, ey = self.pts[(i + 1) % k]
            cx, cy, ccw = edge
            radius = math.hypot(sx - cx, sy - cy)
            radii.append(radius if ccw else -radius)
        return radii

    def transformed(self, fn):
        loop = Loop(*fn(self.pts[0]))
        loop.pts = [fn(p) for p in self.pts]
        loop.edges = []
        for edge in self.edges:
            if edge is None:
                loop.edges.append(None)
            else:
                cx, cy = fn((edge[0], edge[1]))
                loop.edges.append((cx, cy, edge[2]))
        return loop


class CircleHole:
    """A round hole: a CIRCLE in DXF, four quarter arcs in the other formats."""

    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r = cx, cy, r

    def as_loop(self, ccw=False):
        cx, cy, r = self.cx, self.cy, self.r
        if ccw:
            loop = Loop(cx + r, cy)
            loop.arc(cx, cy + r, cx, cy, True).arc(cx - r, cy, cx, cy, True)
            loop.arc(cx, cy - r, cx, cy, True).close_arc(cx, cy, True)
        else:
            loop = Loop(cx + r, cy)
            loop.arc(cx, cy - r, cx, cy, False).arc(cx - r, cy, cx, cy, False)
            loop.arc(cx, cy + r, cx, cy, False).close_arc(cx, cy, False)
        return loop


class Shape:
    def __init__(self, outer, holes=()):
        self.outer = outer
        self.holes = list(holes)

    def loops(self):
        """Outer first, then every hole as a Loop (round holes alternate direction,
        as drawings from different CAD programs do)."""
        result = [self.outer]
        for index, hole in enumerate(self.holes):
            if isinstance(hole, CircleHole):
                result.append(hole.as_loop(ccw=index % 2 == 1))
            else:
                result.append(hole)
        return result


# ---------------------------------------------------------------- part shapes


def rounded_rect(x0, y0, w, h, r, ccw=True):
    if r <= 0:
        loop = Loop(x0, y0).line(x0 + w, y0).line(x0 + w, y0 + h).line(x0, y0 + h).close_line()
    else:
        loop = Loop(x0 + r, y0)
        loop.line(x0 + w - r, y0).arc(x0 + w, y0 + r, x0 + w - r, y0 + r, True)
        loop.line(x0 + w, y0 + h - r).arc(x0 + w - r, y0 + h, x0 + w - r, y0 + h - r, True)
        loop.line(x0 + r, y0 + h).arc(x0, y0 + h - r, x0 + r, y0 + h - r, True)
        loop.line(x0, y0 + r).close_arc(x0 + r, y0 + r, True)
    return loop if ccw else reversed_loop(loop)


def reversed_loop(loop):
    k = len(loop.pts)
    pts = [loop.pts[0]] + [loop.pts[i] for i in range(k - 1, 0, -1)]
    # The edge into vertex i of the new order is the old edge out of it, reversed.
    edges = []
    for i in range(k):
        old = (k - 1 - i) % k
        edge = loop.edges[old]
        edges.append(None if edge is None else (edge[0], edge[1], not edge[2]))
    result = Loop(*pts[0])
    result.pts = pts
    result.edges = edges
    return result


def slot(cx, cy, length, width):
    """A stadium-shaped slot along x: straight length between the two centres."""
    r = width / 2.0
    a, b = cx - length / 2.0, cx + length / 2.0
    loop = Loop(a, cy - r)
    loop.line(b, cy - r).arc(b + r, cy, b, cy, True).arc(b, cy + r, b, cy, True)
    loop.line(a, cy + r).arc(a - r, cy, a, cy, True).close_arc(a, cy, True)
    return loop


def plate_with_holes(w, h, r, holes, cutouts=()):
    return Shape(rounded_rect(0, 0, w, h, r), [CircleHole(*c) for c in holes] + list(cutouts))


def l_bracket(a, b, t, ro, ri, hole_r):
    loop = Loop(ro, 0)
    loop.line(a, 0).line(a, t).line(t + ri, t)
    loop.arc(t, t + ri, t + ri, t + ri, False)  # concave fillet in the inner corner
    loop.line(t, b).line(0, b).line(0, ro).close_arc(ro, ro, True)
    holes = [CircleHole(a - t / 2.0, t / 2.0, hole_r), CircleHole(t / 2.0, b - t / 2.0, hole_r)]
    if a > 4 * t:
        holes.append(CircleHole((a + t) / 2.0, t / 2.0, hole_r))
    return Shape(loop, holes)


def u_bracket(w, h, t, ri, hole_r):
    loop = Loop(0, 0)
    loop.line(w, 0).line(w, h).line(w - t, h).line(w - t, t + ri)
    loop.arc(w - t - ri, t, w - t - ri, t + ri, False)
    loop.line(t + ri, t).arc(t, t + ri, t + ri, t + ri, False)
    loop.line(t, h).line(0, h).close_line()
    holes = [CircleHole(t / 2.0, h - t / 2.0, hole_r), CircleHole(w - t / 2.0, h - t / 2.0, hole_r),
             CircleHole(w / 2.0, t / 2.0, hole_r)]
    return Shape(loop, holes)


def gusset(a, b, c1, c2, hole_r):
    """A right-angled gusset with both acute corners cut square to the legs."""
    loop = Loop(0, 0).line(a, 0).line(a, c1).line(c2, b).line(0, b).close_line()
    return Shape(loop, [CircleHole(a * 0.3, b * 0.3, hole_r)])


def t_bracket(w, h, t, stem, hole_r):
    """A T: a bar of w x t on top of a stem of width stem, corners sharp."""
    s0 = (w - stem) / 2.0
    loop = Loop(s0, 0).line(s0 + stem, 0).line(s0 + stem, h - t).line(w, h - t)
    loop.line(w, h).line(0, h).line(0, h - t).line(s0, h - t).close_line()
    holes = [CircleHole(t / 2.0 + 5, h - t / 2.0, hole_r), CircleHole(w - t / 2.0 - 5, h - t / 2.0, hole_r),
             CircleHole(w / 2.0, (h - t) * 0.4, hole_r)]
    return Shape(loop, holes)


def round_flange(d_out, d_bore, pcd, n_bolts, d_bolt):
    r = d_out / 2.0
    outer = CircleHole(0, 0, r).as_loop(ccw=True)
    holes = [CircleHole(0, 0, d_bore / 2.0)]
    for i in range(n_bolts):
        angle = 2 * math.pi * i / n_bolts + math.pi / n_bolts
        holes.append(CircleHole(pcd / 2.0 * math.cos(angle), pcd / 2.0 * math.sin(angle), d_bolt / 2.0))
    return Shape(outer, holes)


def ring(d_out, d_in):
    return Shape(CircleHole(0, 0, d_out / 2.0).as_loop(ccw=True), [CircleHole(0, 0, d_in / 2.0)])


def oval_flange(e, r_boss, r_lobe, d_bore, d_bolt):
    """Two-bolt flange: a boss and two lobes joined by their outer tangents."""
    theta = math.acos((r_boss - r_lobe) / e)
    c, s = math.cos(theta), math.sin(theta)
    loop = Loop(e + r_lobe * c, -r_lobe * s)
    loop.arc(e + r_lobe * c, r_lobe * s, e, 0, True)
    loop.line(r_boss * c, r_boss * s)
    loop.arc(-r_boss * c, r_boss * s, 0, 0, True)
    loop.line(-e - r_lobe * c, r_lobe * s)
    loop.arc(-e - r_lobe * c, -r_lobe * s, -e, 0, True)
    loop.line(-r_boss * c, -r_boss * s)
    loop.arc(r_boss * c, -r_boss * s, 0, 0, True)
    loop.close_line()
    holes = [CircleHole(0, 0, d_bore / 2.0), CircleHole(e, 0, d_bolt / 2.0), CircleHole(-e, 0, d_bolt / 2.0)]
    return Shape(loop, holes)


def notched_flange(w, rn, d_bore, inset, d_bolt):
    """Square flange whose corners are cut by concave quarter circles."""
    loop = Loop(rn, 0)
    loop.line(w - rn, 0).arc(w, rn, w, 0, False)
    loop.line(w, w - rn).arc(w - rn, w, w, w, False)
    loop.line(rn, w).arc(0, w - rn, 0, w, False)
    loop.line(0, rn).close_arc(0, 0, False)
    holes = [CircleHole(w / 2.0, w / 2.0, d_bore / 2.0)]
    for x, y in ((inset, w / 2.0), (w - inset, w / 2.0), (w / 2.0, inset), (w / 2.0, w - inset)):
        holes.append(CircleHole(x, y, d_bolt / 2.0))
    return Shape(loop, holes)


def sector(r_out, r_in, sweep_deg, d_bolt):
    """A segment of a large ring: convex outer arc, concave inner arc."""
    half = math.radians(sweep_deg) / 2.0
    a0, a1 = math.pi / 2 - half, math.pi / 2 + half
    loop = Loop(r_in * math.cos(a0), r_in * math.sin(a0))
    loop.line(r_out * math.cos(a0), r_out * math.sin(a0))
    loop.arc(r_out * math.cos(a1), r_out * math.sin(a1), 0, 0, True)
    loop.line(r_in * math.cos(a1), r_in * math.sin(a1))
    loop.close_arc(0, 0, False)
    rm = (r_out + r_in) / 2.0
    holes = []
    for f in (0.3, 0.7):
        a = a0 + (a1 - a0) * f
        holes.append(CircleHole(rm * math.cos(a), rm * math.sin(a), d_bolt / 2.0))
    return Shape(loop, holes)


def clip(w, h, r_end, hole_r):
    """A strap with one rounded end (two quarter arcs) and a slot."""
    loop = Loop(0, 0).line(w - r_end, 0).arc(w, r_end, w - r_end, r_end, True)
    loop.line(w, h - r_end).arc(w - r_end, h, w - r_end, h - r_end, True).line(0, h).close_line()
    holes = [slot(w * 0.35, h / 2.0, w * 0.25, hole_r * 2), CircleHole(w - r_end, h / 2.0, hole_r)]
    return Shape(loop, holes)


def panel(w, h, r, window, hole_r, pitch):
    """A large cover panel: rounded corners, a rounded window, a bolt row around."""
    wx, wy, ww, wh, wr = window
    holes = [rounded_rect(wx, wy, ww, wh, wr, ccw=False)]
    margin = 30.0
    nx = max(2, int((w - 2 * margin) // pitch) + 1)
    ny = max(2, int((h - 2 * margin) // pitch) + 1)
    for i in range(nx):
        x = margin + (w - 2 * margin) * i / (nx - 1)
        holes.append(CircleHole(x, margin, hole_r))
        holes.append(CircleHole(x, h - margin, hole_r))
    for j in range(1, ny - 1):
        y = margin + (h - 2 * margin) * j / (ny - 1)
        holes.append(CircleHole(margin, y, hole_r))
        holes.append(CircleHole(w - margin, y, hole_r))
    return Shape(rounded_rect(0, 0, w, h, r), holes)


# ---------------------------------------------------------------- self-check


def dense_points(loop):
    """The outline as a polygon, arcs sampled finely."""
    pts = []
    k = len(loop.pts)
    for i, edge in enumerate(loop.edges):
        sx, sy = loop.pts[i]
        pts.append((sx, sy))
        if edge is None:
            continue
        ex, ey = loop.pts[(i + 1) % k]
        cx, cy, ccw = edge
        r = math.hypot(sx - cx, sy - cy)
        a = math.atan2(sy - cy, sx - cx)
        b = math.atan2(ey - cy, ex - cx)
        sweep = (b - a) % (2 * math.pi) if ccw else -((a - b) % (2 * math.pi))
        n = max(2, int(abs(math.degrees(sweep)) / CHECK_STEP_DEG))
        for j in range(1, n):
            t = a + sweep * j / n
            pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    return pts


def check_loop(loop, label):
    k = len(loop.pts)
    if k < 2 or len(loop.edges) != k:
        raise ValueError(f"{label}: {k} vertices, {len(loop.edges)} edges")
    for i, edge in enumerate(loop.edges):
        sx, sy = loop.pts[i]
        ex, ey = loop.pts[(i + 1) % k]
        if math.hypot(ex - sx, ey - sy) < 1.0:
            raise ValueError(f"{label}: edge {i} shorter than 1 mm")
        if edge is None:
            continue
        cx, cy, ccw = edge
        r = math.hypot(sx - cx, sy - cy)
        if abs(math.hypot(ex - cx, ey - cy) - r) > 1e-6:
            raise ValueError(f"{label}: edge {i} ends off its circle")
        if r <= MIN_RADIUS + 1e-9:
            raise ValueError(f"{label}: edge {i} radius {r} too small")
        cross = (sx - cx) * (ey - cy) - (sy - cy) * (ex - cx)
        # The readers build the shorter arc; the intended one must be it.
        if (cross > 0) != ccw or abs(cross) < 1e-6 * r * r:
            raise ValueError(f"{label}: edge {i} is not the shorter arc")
    poly = dense_points(loop)
    if not simple(poly):
        raise ValueError(f"{label}: outline crosses itself")
    return poly


def segments_cross(p1, p2, p3, p4):
    def orient(a, b, c):
        v = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0])
        return 0 if abs(v) < 1e-9 else (1 if v > 0 else -1)

    o1, o2 = orient(p1, p2, p3), orient(p1, p2, p4)
    o3, o4 = orient(p3, p4, p1), orient(p3, p4, p2)
    return o1 * o2 < 0 and o3 * o4 < 0


def simple(poly):
    n = len(poly)
    edges = [(poly[i], poly[(i + 1) % n]) for i in range(n)]
    for i in range(n):
        for j in range(i + 2, n):
            if i == 0 and j == n - 1:
                continue
            if segments_cross(edges[i][0], edges[i][1], edges[j][0], edges[j][1]):
                return False
    return True


def point_in(poly, p):
    inside = False
    n = len(poly)
    for i in range(n):
        (x1, y1), (x2, y2) = poly[i], poly[(i + 1) % n]
        if (y1 > p[1]) != (y2 > p[1]):
            x = x1 + (p[1] - y1) * (x2 - x1) / (y2 - y1)
            if x > p[0]:
                inside = not inside
    return inside


def min_distance(poly_a, poly_b):
    def seg_dist(p, a, b):
        dx, dy = b[0] - a[0], b[1] - a[1]
        t = max(0.0, min(1.0, ((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / (dx * dx + dy * dy)))
        return math.hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy)

    best = float("inf")
    for p in poly_a:
        for i in range(len(poly_b)):
            best = min(best, seg_dist(p, poly_b[i], poly_b[(i + 1) % len(poly_b)]))
    return best


def area(poly):
    s = 0.0
    for i in range(len(poly)):
        (x1, y1), (x2, y2) = poly[i], poly[(i + 1) % len(poly)]
        s += x1 * y2 - x2 * y1
    return abs(s) / 2.0


_checked = {}


def check_shape(shape, name, clearance):
    """The net area of a checked shape; copies of one design are checked once."""
    key = (id(shape), clearance)
    if key not in _checked:
        _checked[key] = check_shape_once(shape, name, clearance)
    return _checked[key]


def check_shape_once(shape, name, clearance):
    """Holes inside the outer outline, apart from it and from each other by more
    than `clearance` (the part gap), so the grown working outline stays sound."""
    loops = shape.loops()
    polys = [check_loop(loop, f"{name} loop {i}") for i, loop in enumerate(loops)]
    outer = polys[0]
    for i, hole in enumerate(polys[1:], 1):
        if not all(point_in(outer, p) for p in hole):
            raise ValueError(f"{name}: hole {i} not inside the outer outline")
        if min_distance(hole, outer) <= clearance:
            raise ValueError(f"{name}: hole {i} too close to the outer outline")
        for j, other in enumerate(polys[1:i], 1):
            if point_in(other, hole[0]) or point_in(hole, other[0]):
                raise ValueError(f"{name}: holes {j} and {i} nest")
            if min_distance(hole, other) <= clearance:
                raise ValueError(f"{name}: holes {j} and {i} too close")
    return area(outer) - sum(area(p) for p in polys[1:])


def bbox(shape):
    xs = [p[0] for p in dense_points(shape.outer)]
    ys = [p[1] for p in dense_points(shape.outer)]
    return min(xs), max(xs), min(ys), max(ys)


# ---------------------------------------------------------------- writers


def fmt(v):
    """Millimetres with at most four decimals, no trailing zeros, no "-0"."""
    text = f"{v:.4f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


def text_library(plate, gap, parts):
    """Header labels of 13, 12 and 14 characters; loops as count/vertex lines."""
    lines = [f"Plate length:{fmt(plate[0])}", f"Plate width:{fmt(plate[1])}",
             f"Part distance:{fmt(gap)}"]
    assert len("Plate length:") == 13 and len("Plate width:") == 12 and len("Part distance:") == 14
    for name, shape in parts:
        lines.append(f"NAME {name}")
        for loop in shape.loops():
            radii = loop.signed_radii()
            k = len(loop.pts)
            lines.append(f"{k + 1} {fmt(loop.pts[0][0])} {fmt(loop.pts[0][1])}")
            for i in range(1, k):
                lines.append(f"{fmt(radii[i - 1])} {fmt(loop.pts[i][0])} {fmt(loop.pts[i][1])}")
            lines.append(fmt(radii[k - 1]))
    lines.append("#end")
    for line in lines:
        assert len(line.encode()) <= 98, line
    return ("\n".join(lines) + "\n").encode("ascii")


PRESRC_KEYS = [  # the keys a preSrc file carries, in the order it writes them
    ("nestType", "1"), ("mplateType", "0"), ("bMirror", "0"), ("bAutoResize", "0"),
    ("maxNestPartNum", "500"), ("partToPartGap", None), ("partToMplateGap", "10"),
    ("bPartTurnover", "1"), ("bHolePart", "1"), ("minPartGap", "2"), ("maxPartGap", "20"),
    ("minMplateGap", "5"), ("maxMplateGap", "30"), ("precision_length", "0.1"),
    ("precision_ang", "0.5"), ("feetLength_0", "0"), ("feetLength_1", "0"),
    ("staPlate_0", None), ("staPlate_1", None), ("minPlate_0", "1000"), ("minPlate_1", "500"),
    ("maxPlate_0", "6000"), ("maxPlate_1", "2000"),
]


def presrc_file(plate, gap, parts):
    """CONFIGINFO with 16-character keys; one PARTINFO section per part. The point
    records: 0 unused, then each loop (count with first vertex, radius with vertex,
    closing radius) and one unused record between two loops."""
    values = {"partToPartGap": fmt(gap), "staPlate_0": fmt(plate[0]), "staPlate_1": fmt(plate[1])}
    out = [b"[CONFIGINFO]"]
    for key, value in PRESRC_KEYS:
        assert len(key) <= 16
        out.append(f"{key:<16}= {values.get(key, value)}".encode("ascii"))
    out.append(b"_end_")
    for name, title, shape in parts:
        # kind: 0 unused, 1 loop start, 2 line, 3 arc (kept for the reader of the file)
        records = [(0.0, 0.0, 0.0, 0)]
        loops = shape.loops()
        for index, loop in enumerate(loops):
            if index > 0:
                records.append((0.0, 0.0, 0.0, 0))
            radii = loop.signed_radii()
            k = len(loop.pts)
            records.append((float(k + 1), loop.pts[0][0], loop.pts[0][1], 1))
            for i in range(1, k):
                records.append((radii[i - 1], loop.pts[i][0], loop.pts[i][1], 3 if radii[i - 1] else 2))
            records.append((radii[k - 1], loop.pts[0][0], loop.pts[0][1], 3 if radii[k - 1] else 2))
        out.append(b"[PARTINFO]")
        out.append(b"NameID=" + name.encode("gbk"))
        out.append(b"partName=" + title.encode("gbk"))
        out.append(b"partinf=1,1,3")
        out.append(f"pointNum={len(records)}".encode("ascii"))
        for i, (value, x, y, kind) in enumerate(records):
            out.append(f"{i},{kind},P{i},0,0,{fmt(value)},{fmt(x)},{fmt(y)}".encode("ascii"))
        out.append(b"_end_")
    return b"\r\n".join(out) + b"\r\n"


def dxf_drawing(name, shape, thick):
    """A drawing as a CAD program exports it: HEADER with the units, ENTITIES with
    LINE, ARC, CIRCLE and the TEXTs that name the part; codes in three columns."""
    pairs = [(0, "SECTION"), (2, "HEADER"), (9, "$ACADVER"), (1, "AC1009"),
             (9, "$INSUNITS"), (70, "4"), (0, "ENDSEC"), (0, "SECTION"), (2, "ENTITIES")]

    def line(a, b):
        pairs.extend([(0, "LINE"), (8, "CUT"), (10, fmt6(a[0])), (20, fmt6(a[1])), (30, "0.0"),
                      (11, fmt6(b[0])), (21, fmt6(b[1])), (31, "0.0")])

    def arc(cx, cy, r, a0, a1):
        pairs.extend([(0, "ARC"), (8, "CUT"), (10, fmt6(cx)), (20, fmt6(cy)), (30, "0.0"),
                      (40, fmt6(r)), (50, fmt6(a0)), (51, fmt6(a1))])

    def loop_entities(loop):
        k = len(loop.pts)
        for i, edge in enumerate(loop.edges):
            s, e = loop.pts[i], loop.pts[(i + 1) % k]
            if edge is None:
                line(s, e)
                continue
            cx, cy, ccw = edge
            r = math.hypot(s[0] - cx, s[1] - cy)
            a_s = math.degrees(math.atan2(s[1] - cy, s[0] - cx)) % 360.0
            a_e = math.degrees(math.atan2(e[1] - cy, e[0] - cx)) % 360.0
            if ccw:
                arc(cx, cy, r, a_s, a_e)
            else:
                arc(cx, cy, r, a_e, a_s)

    loop_entities(shape.outer)
    for hole in shape.holes:
        if isinstance(hole, CircleHole):
            pairs.extend([(0, "CIRCLE"), (8, "CUT"), (10, fmt6(hole.cx)), (20, fmt6(hole.cy)),
                          (30, "0.0"), (40, fmt6(hole.r))])
        else:
            loop_entities(hole)
    x0, x1, y0, y1 = bbox(shape)
    height = max(5.0, min(x1 - x0, y1 - y0) / 12.0)
    tx, ty = x0 + (x1 - x0) * 0.1, y0 + (y1 - y0) * 0.1
    for text, dy in ((f"name:{name}", 0.0), (f"thick={thick}", -1.5 * height)):
        pairs.extend([(0, "TEXT"), (8, "TEXT"), (10, fmt6(tx)), (20, fmt6(ty + dy)), (30, "0.0"),
                      (40, fmt6(height)), (1, text), (50, "0")])
    pairs.extend([(0, "ENDSEC"), (0, "EOF")])
    lines = []
    for code, value in pairs:
        lines.append(f"{code:>3}")
        lines.append(value)
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def fmt6(v):
    text = f"{v:.6f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


# ---------------------------------------------------------------- the libraries


def brackets():
    designs = [  # (name, shape, copies)
        ("BASE-900x600", plate_with_holes(900, 600, 25, [
            (40, 40, 9), (860, 40, 9), (40, 560, 9), (860, 560, 9), (450, 300, 40)],
            [slot(250, 300, 120, 24), slot(650, 300, 120, 24)]), 2),
        ("COVER-700x420", plate_with_holes(700, 420, 15, [
            (30, 30, 6), (670, 30, 6), (30, 390, 6), (670, 390, 6)],
            [rounded_rect(150, 110, 400, 200, 20, ccw=False)]), 1),
        ("L-160x120", l_bracket(160, 120, 45, 8, 10, 6.5), 6),
        ("L-250x180", l_bracket(250, 180, 60, 10, 15, 8.5), 4),
        ("L-90x90", l_bracket(90, 90, 35, 5, 6, 5.5), 6),
        ("U-300x150", u_bracket(300, 150, 50, 12, 8.5), 3),
        ("U-180x120", u_bracket(180, 120, 40, 8, 6.5), 4),
        ("GUSSET-200", gusset(200, 200, 40, 40, 8.5), 4),
        ("GUSSET-140x100", gusset(140, 100, 30, 25, 6.5), 4),
        ("T-220x160", t_bracket(220, 160, 50, 60, 6.5), 2),
        ("CLIP-120x50", clip(120, 50, 20, 5.5), 6),
        ("PLATE-150x100", plate_with_holes(150, 100, 10, [
            (20, 20, 6.5), (130, 20, 6.5), (20, 80, 6.5), (130, 80, 6.5)]), 4),
    ]
    parts = []
    for name, shape, copies in designs:
        for i in range(1, copies + 1):
            parts.append((f"{name}-{i}", shape))
    return parts


def flanges():
    designs = [  # (name, title, shape, copies)
        ("FL-DN200-PN16", "法兰盘 DN200", round_flange(340, 222, 295, 12, 22), 2),
        ("FL-DN100-PN16", "法兰盘 DN100", round_flange(220, 116, 180, 8, 18), 4),
        ("FL-DN50-PN16", "法兰盘 DN50", round_flange(165, 62, 125, 4, 18), 4),
        ("RING-600x480", "加强圈 600", ring(600, 480), 2),
        ("RING-300x200", "加强圈 300", ring(300, 200), 3),
        ("OVAL-FL-2x14", "椭圆法兰", oval_flange(60, 40, 20, 32, 14), 6),
        ("SQ-FL-160", "方法兰 160", notched_flange(160, 25, 60, 28, 14), 4),
        ("SQ-FL-250", "方法兰 250", notched_flange(250, 40, 110, 38, 18), 2),
        ("SECTOR-R700-60", "环板扇形段", sector(700, 520, 60, 18), 4),
        ("SECTOR-R450-45", "环板扇形段", sector(450, 330, 45, 14), 3),
    ]
    parts = []
    for name, title, shape, copies in designs:
        for i in range(1, copies + 1):
            parts.append((f"{name}-{i}", title, shape))
    # Two parts named in Chinese, as files from Chinese workshops are (GBK bytes).
    parts.append(("加强板-A", "加强板", notched_flange(200, 30, 70, 32, 14)))
    parts.append(("加强板-B", "加强板", notched_flange(200, 30, 70, 32, 14)))
    return parts


def panels():
    designs = [  # (file stem, part name, shape, thickness, copies)
        ("panel-1800x900", "PANEL-1800x900", panel(1800, 900, 30, (300, 200, 1200, 500, 40), 9, 200), 3, 2),
        ("panel-1200x800", "PANEL-1200x800", panel(1200, 800, 25, (250, 200, 700, 400, 30), 9, 180), 3, 2),
        ("door-900x600", "DOOR-900x600", panel(900, 600, 20, (200, 150, 500, 300, 25), 8, 160), 2, 2),
        ("base-1000x500", "BASE-1000x500", plate_with_holes(1000, 500, 20, [
            (50, 50, 11), (950, 50, 11), (50, 450, 11), (950, 450, 11), (500, 250, 60)],
            [slot(250, 250, 150, 30), slot(750, 250, 150, 30)]), 8, 2),
        ("channel-600x300", "CHANNEL-600x300", u_bracket(600, 300, 80, 20, 9), 5, 3),
        ("angle-500x400", "ANGLE-500x400", l_bracket(500, 400, 90, 15, 20, 11), 6, 3),
        ("gusset-400", "GUSSET-400", gusset(400, 400, 80, 80, 15), 8, 4),
        ("flange-400", "FLANGE-400", round_flange(400, 250, 340, 12, 22), 10, 2),
        ("sector-900", "SECTOR-R900-40", sector(900, 700, 40, 18), 8, 3),
    ]
    drawings = []
    for stem, name, shape, thick, copies in designs:
        for i in range(1, copies + 1):
            drawings.append((f"{stem}-{i}", f"{name}-{i}", shape, thick))
    return drawings


def main():
    out_dir = sys.argv[1] if len(sys.argv) > 1 else HERE

    text_parts = brackets()
    total = sum(check_shape(s, n, 6.0) for n, s in text_parts)
    write_bytes(os.path.join(out_dir, "brackets.txt"), text_library((3000, 1500), 6, text_parts))
    print(f"brackets.txt: {len(text_parts)} parts, {total / 1e6:.2f} m2 on 3000 x 1500")

    pre_parts = flanges()
    total = sum(check_shape(s, n, 8.0) for n, _, s in pre_parts)
    write_bytes(os.path.join(out_dir, "flanges.preSrc"), presrc_file((2500, 1250), 8, pre_parts))
    print(f"flanges.preSrc: {len(pre_parts)} parts, {total / 1e6:.2f} m2 on 2500 x 1250")

    drawings = panels()
    folder = os.path.join(out_dir, "panels")
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if old.endswith(".dxf"):
            os.remove(os.path.join(folder, old))
    total = 0.0
    for stem, name, shape, thick in drawings:
        total += check_shape(shape, name, 10.0)
        write_bytes(os.path.join(folder, stem + ".dxf"), dxf_drawing(name, shape, thick))
    header = "Plate length:6000\r\nPlate width:2000\r\nPart distance:10\r\npanels\r\n"
    write_bytes(os.path.join(out_dir, "panels.lst"), header.encode("ascii"))
    print(f"panels.lst: {len(drawings)} drawings, {total / 1e6:.2f} m2 on 6000 x 2000")


if __name__ == "__main__":
    main()
