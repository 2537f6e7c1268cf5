#pragma once

#include "geometry/arc.h"
#include "geometry/part.h"
#include "geometry/point.h"
#include "geometry/sentinel_list.h"
#include "geometry/text_label.h"

namespace tarn {

// The arc-preserving form of a part as read; nestable Parts are built from it.
struct PartSource {
  RadiusPolyline outer;
  RadiusPolylineList holes;
  TextLabel nameLabel;
  double chordTol = kDefaultChordTol;
  int id = 0;
  bool turnedOver = false;
  Point refPoint;
  double rotation = 0.0;  // radians
  double area = 0.0;      // net area of the discretised outlines
  Point centroid;         // of the discretised net area

  PartSource() = default;
  // Copies every field but chordTol; holes come out reversed. Throws CoreError
  // when `other` has no outer vertices.
  PartSource(const PartSource& other);
  PartSource& operator=(const PartSource& other);
  PartSource(PartSource&&) noexcept = default;
  PartSource& operator=(PartSource&&) noexcept = default;
  ~PartSource() = default;
};

using PartSourceList = SentinelList<PartSource>;

// The readers' way to fill a source: outlines, label placement and height,
// refPoint, rotation 0, area and centroid. The label text is the caller's.
void initSource(PartSource& source, const RadiusPolyline& outer, const RadiusPolylineList& holes);
double sourceArea(PartSource& source);
// Without net area the centroid of the outer outline stands in.
Point sourceCentroid(PartSource& source);
// Fills a freshly constructed part from the source (discretised with chordTol).
void buildPart(const PartSource& source, Part& part);

// The counterparts of the Part transforms: outlines, label point, refPoint and
// centroid move together, so a source can be brought to a placed part's pose.
void translate(PartSource& source, double dx, double dy);
void rotate(PartSource& source, const Point& centre, double angle);
void turnOver(PartSource& source, const Point& p);

}  // namespace tarn
