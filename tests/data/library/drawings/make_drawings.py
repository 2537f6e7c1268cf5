#!/usr/bin/env python3
"""Writes the fixture drawings of the DXF import tests with ezdxf.

    python3 tests/data/library/drawings/make_drawings.py

Each drawing shows one situation, in millimetres ($INSUNITS 4) unless it says
otherwise (ezdxf would write metres); the tests give the expected part count,
names and areas, worked out by hand. The generated files are committed, so
the tests need no Python; run this again after changing it.
"""

import math
import os
import sys

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))


def save(doc, name):
    doc.saveas(os.path.join(HERE, name))


def rectangle_lines(msp, x, y, w, h):
    msp.add_line((x, y), (x + w, y))
    msp.add_line((x + w, y), (x + w, y + h))
    msp.add_line((x + w, y + h), (x, y + h))
    msp.add_line((x, y + h), (x, y))


def text(msp, value, at, height=5):
    msp.add_text(value, dxfattribs={"insert": at, "height": height})


def r12_polyline_bulge():
    # A slot: 100 x 40 with half circles of radius 20 at both ends.
    doc = ezdxf.new("R12", units=0)
    msp = doc.modelspace()
    msp.add_polyline2d([(0, 0, 0, 0, 0), (100, 0, 0, 0, 1), (100, 40, 0, 0, 0), (0, 40, 0, 0, 1)],
                       format="xyseb", close=True)
    text(msp, "name:SLOT-1", (10, 10))
    save(doc, "r12_polyline_bulge.dxf")


def r12_classic():
    # Only LINE, CIRCLE and TEXT with right-aligned codes: the classic reader's drawing.
    doc = ezdxf.new("R12", units=0)
    msp = doc.modelspace()
    rectangle_lines(msp, 0, 0, 120, 80)
    msp.add_circle((30, 40), 10)
    text(msp, "name:PLATE", (60, 40))
    save(doc, "r12_classic.dxf")


def r12_gaps():
    # A 100 x 50 plate whose entities stop 0.014 mm short of each other, with
    # a corner arc of radius 10.
    doc = ezdxf.new("R12", units=0)
    msp = doc.modelspace()
    g = 0.014
    msp.add_line((0, 0), (90 - g, 0))
    msp.add_arc((90, 10), 10, 270, 360)  # from (90, 0) to (100, 10)
    msp.add_line((100, 10 + g), (100, 50))
    msp.add_line((100 - g, 50), (0, 50))
    msp.add_line((0, 50 - g), (0, g))
    save(doc, "r12_gaps.dxf")


def r2000_lwpolyline():
    # A 100 x 60 plate with corners rounded to radius 10 and a hole of
    # radius 8 at (50, 30) drawn as two half circles.
    doc = ezdxf.new("R2000", units=4)
    msp = doc.modelspace()
    b = math.tan(math.radians(90) / 4)
    msp.add_lwpolyline([(10, 0, b * 0), (90, 0, b), (100, 10, 0), (100, 50, b), (90, 60, 0),
                        (10, 60, b), (0, 50, 0), (0, 10, b)], format="xyb", close=True)
    # The first vertex carries no bulge: (10, 0) to (90, 0) is straight.
    msp.add_lwpolyline([(42, 30, 1), (58, 30, 1)], format="xyb", close=True)
    text(msp, "name:BRACKET", (20, 20))
    text(msp, "thick=3", (20, 10))
    save(doc, "r2000_lwpolyline.dxf")


def r2000_inch():
    # 4 x 2 inches.
    doc = ezdxf.new("R2000", units=1)
    msp = doc.modelspace()
    msp.add_lwpolyline([(0, 0), (4, 0), (4, 2), (0, 2)], close=True)
    text(msp, "name:INCH", (1, 1), 0.2)
    save(doc, "r2000_inch.dxf")


def r2000_several():
    # Three plates; the first named by a text inside it, the third by a text
    # below it (nearest), the second without a text.
    doc = ezdxf.new("R2000", units=4)
    msp = doc.modelspace()
    msp.add_lwpolyline([(0, 0), (50, 0), (50, 30), (0, 30)], close=True)
    msp.add_lwpolyline([(100, 0), (140, 0), (140, 40), (100, 40)], close=True)
    msp.add_lwpolyline([(200, 0), (230, 0), (230, 20), (200, 20)], close=True)
    text(msp, "name:LEFT", (10, 10))
    text(msp, "name:RIGHT", (210, -10))
    save(doc, "r2000_several.dxf")


def r2000_part_in_hole():
    # A 200 x 200 frame around a 160 x 160 hole; in the hole a 100 x 100
    # plate with a round hole of radius 20.
    doc = ezdxf.new("R2000", units=4)
    msp = doc.modelspace()
    rectangle_lines(msp, 0, 0, 200, 200)
    rectangle_lines(msp, 20, 20, 160, 160)
    msp.add_lwpolyline([(50, 50), (150, 50), (150, 150), (50, 150)], close=True)
    msp.add_circle((100, 100), 20)
    save(doc, "r2000_part_in_hole.dxf")


def r2000_tiny_fillet():
    # An 80 x 40 plate with corner fillets of radius 0.5, below the chord tolerance.
    doc = ezdxf.new("R2000", units=4)
    msp = doc.modelspace()
    r = 0.5
    msp.add_line((r, 0), (80 - r, 0))
    msp.add_arc((80 - r, r), r, 270, 360)
    msp.add_line((80, r), (80, 40 - r))
    msp.add_arc((80 - r, 40 - r), r, 0, 90)
    msp.add_line((80 - r, 40), (r, 40))
    msp.add_arc((r, 40 - r), r, 90, 180)
    msp.add_line((0, 40 - r), (0, r))
    msp.add_arc((r, r), r, 180, 270)
    save(doc, "r2000_tiny_fillet.dxf")


def r2000_open_contour():
    # A closed 50 x 50 square, and beside it four lines that leave a 2 mm gap
    # between (100, 2) and (100, 0).
    doc = ezdxf.new("R2000", units=4)
    msp = doc.modelspace()
    rectangle_lines(msp, 0, 0, 50, 50)
    msp.add_line((100, 0), (150, 0))
    msp.add_line((150, 0), (150, 50))
    msp.add_line((150, 50), (100, 50))
    msp.add_line((100, 50), (100, 2))
    save(doc, "r2000_open_contour.dxf")


def r2018_spline():
    # A parabolic arch: the quadratic spline (0, 0), (50, 100), (100, 0)
    # closed by a line; and at x = 200 a quarter disc of radius 50 whose arc is
    # a rational quadratic spline.
    doc = ezdxf.new("R2018", units=4)
    msp = doc.modelspace()
    msp.add_open_spline([(0, 0), (50, 100), (100, 0)], degree=2, knots=[0, 0, 0, 1, 1, 1])
    msp.add_line((100, 0), (0, 0))
    w = math.sqrt(0.5)
    msp.add_rational_spline([(250, 0), (250, 50), (200, 50)], [1, w, 1], degree=2,
                            knots=[0, 0, 0, 1, 1, 1])
    msp.add_line((200, 50), (200, 0))
    msp.add_line((200, 0), (250, 0))
    save(doc, "r2018_spline.dxf")


def r2018_ellipse():
    # A full ellipse with half axes 60 and 30 at the origin; at x = 200 the
    # upper half of one with half axes 40 and 20, closed by a line.
    doc = ezdxf.new("R2018", units=4)
    msp = doc.modelspace()
    msp.add_ellipse((0, 0), major_axis=(60, 0), ratio=0.5)
    msp.add_ellipse((200, 0), major_axis=(40, 0), ratio=0.5, start_param=0,
                    end_param=math.pi)
    msp.add_line((160, 0), (240, 0))
    save(doc, "r2018_ellipse.dxf")


def r2018_insert():
    # Block BRKT: a 40 x 40 plate with a hole of radius 5 at (20, 20).
    # Inserted turned by 30 degrees at (100, 50), mirrored at (200, 50), and
    # twice through block PAIR, which model space inserts at (0, 200) scaled
    # by 2 and turned by 90 degrees. Block LOOP inserts itself.
    doc = ezdxf.new("R2018", units=4)
    brkt = doc.blocks.new("BRKT")
    brkt.add_lwpolyline([(0, 0), (40, 0), (40, 40), (0, 40)], close=True)
    brkt.add_circle((20, 20), 5)
    pair = doc.blocks.new("PAIR")
    pair.add_blockref("BRKT", (0, 0))
    pair.add_blockref("brkt", (60, 0))  # block names ignore letter case
    loop = doc.blocks.new("LOOP")
    loop.add_blockref("LOOP", (10, 10))
    msp = doc.modelspace()
    msp.add_blockref("BRKT", (100, 50), dxfattribs={"rotation": 30})
    msp.add_blockref("BRKT", (200, 50), dxfattribs={"xscale": -1})
    msp.add_blockref("PAIR", (0, 200), dxfattribs={"xscale": 2, "yscale": 2, "rotation": 90})
    msp.add_blockref("LOOP", (500, 500))
    save(doc, "r2018_insert.dxf")


def main():
    for make in (r12_polyline_bulge, r12_classic, r12_gaps, r2000_lwpolyline, r2000_inch,
                 r2000_several, r2000_part_in_hole, r2000_tiny_fillet, r2000_open_contour,
                 r2018_spline, r2018_ellipse, r2018_insert):
        make()
    return 0


if __name__ == "__main__":
    sys.exit(main())
