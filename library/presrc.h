#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/part_source.h"
#include "job/packing_job.h"
#include "library/line_reader.h"

namespace tarn {

// The settings of a CONFIGINFO section, all zero before reading. Only
// staPlate_0/1, partToPartGap and bPartTurnover reach the job.
struct ConfigInfo {
  int nestType = 0, mplateType = 0;
  float feetLength_0 = 0.0F, feetLength_1 = 0.0F, staPlate_0 = 0.0F, staPlate_1 = 0.0F;
  float minPlate_0 = 0.0F, minPlate_1 = 0.0F, maxPlate_0 = 0.0F, maxPlate_1 = 0.0F;
  bool bAutoResize = false, bMirror = false;
  float partToPartGap = 0.0F, partToMplateGap = 0.0F;
  bool bPartTurnover = false, bHolePart = false;
  int maxNestPartNum = 0;
  float minPartGap = 0.0F, maxPartGap = 0.0F, minMplateGap = 0.0F, maxMplateGap = 0.0F;
  float precision_length = 0.0F, precision_ang = 0.0F;
};

// One point line. Only value, x and y are used.
struct PartInfoPoint {
  double value = 0.0;  // a loop's line count, or the radius of the edge ending here
  double x = 0.0, y = 0.0;
  int code = 0;
  std::string note;
  float aux0 = 0.0F, aux1 = 0.0F;
};

// One PARTINFO section. Only nameId and points are used.
struct PartInfo {
  std::string nameId;
  std::string partName;
  int partinf0 = 0;
  bool partinf1 = false;
  float partinf2 = 0.0F;
  std::vector<PartInfoPoint> points;
};

// The error report of the preSrc check and repair, in the job's output folder.
inline constexpr std::string_view kPreSrcErrorReport = "PackError.txt";

// Reads a preSrc file: the settings into the job, then one source per
// buildable part into job.sources (newest first); ids count every accepted
// section. Throws CoreError when the file cannot be opened, on a zero plate
// size and on a plate size, gap or turnover flag that is unusable or cut by
// the line limit (file and line named).
void readPreSrcFile(PackingJob& job, const std::filesystem::path& path);

// Zeroes `config` and reads one section up to the line with "_end_".
void readConfigInfo(LineReader& file, ConfigInfo& config);
// Empties `partInfo` and reads one section; true when it is accepted (every
// point line announced was read and it holds at least 3 points).
bool readPartInfo(LineReader& file, PartInfo& partInfo);

// The check made before a part is built: loop counts, usable numbers and
// buildable arcs. Appends its report lines to the file `report` (the reader
// passes kPreSrcErrorReport in the job's output folder; CoreError
// "排样错误报告文件输出失败!" when it cannot be opened).
bool checkPreSrcPart(const PartInfo& partInfo, const std::filesystem::path& report);
// The repair made when the check failed: arcs that cannot be built get a
// radius 0.1 mm larger; on success the source is built. Reports as above.
bool repairPreSrcPart(const PartInfo& partInfo, PartSource& source,
                      const std::filesystem::path& report);
// Builds the source of a part that passed the check: the loop of largest area
// (the last of equal ones) is the outer outline, the name is nameId. False,
// the source untouched, when a loop cannot be read.
bool buildPreSrcSource(const PartInfo& partInfo, PartSource& source);

}  // namespace tarn
