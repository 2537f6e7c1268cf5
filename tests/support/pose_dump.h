#pragma once

#include <filesystem>
#include <string>

#include "job/packing_job.h"

namespace tarn::test {

// One line per working part in list order: id, refPoint x and y, rotation and
// turnedOver, the doubles with 17 significant digits, so two dumps are equal
// exactly when every pose is bit for bit the same.
std::string dumpPoses(const PackingJob& job);

// Everything a job holds, list by list in list order, every field of every
// record with 17 significant digits: two dumps are equal exactly when the jobs
// are (but for their error report streams).
std::string dumpJob(const PackingJob& job);

// Empty when the texts are equal; otherwise the first line that differs, with
// its number, as it stands in each text.
std::string firstDifference(const std::string& expected, const std::string& actual);

}  // namespace tarn::test
