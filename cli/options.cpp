#include "cli/options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "cli/cli_texts.h"
#include "job/nest_params.h"
#include "library/line_reader.h"
#include "plates/plate_set.h"

namespace tarn::cli {

namespace {

constexpr double kMaxOptimiseSeconds = 1e9;  // as the search accepts
constexpr std::uint64_t kMaxOptimiseThreads = 256;

const std::map<std::string, LibraryFormat> kFormatNames = {
    {"text", LibraryFormat::TextLibrary},
    {"list", LibraryFormat::PartListFile},
    {"presrc", LibraryFormat::PreSrcFile},
};

// A folder or file name: an empty one names nothing to write to.
std::string nonEmpty(const std::string& value) {
  return value.empty() ? "an empty name" : "";
}

const std::map<std::string, LayoutMode> kLayoutNames = {
    {"all", LayoutMode::All},
    {"multi", LayoutMode::Multi},
    {"none", LayoutMode::None},
};

// A check of CLI11: the value's error, or "" when it is good.
template <class Parse>
auto refusing(Parse parse, std::string_view error) {
  return [parse, error](const std::string& value) {
    return parse(value) ? std::string() : std::string(error);
  };
}

std::optional<std::uint64_t> parseEvaluations(const std::string& value) {
  const std::optional<std::uint64_t> count = parseWholeNumber(value);
  return count && *count > 0 ? count : std::nullopt;
}

// The job of --plate, or a usage error naming the argument at fault.
DrawingJobRequest drawingJobOf(const std::string& plate, double gap,
                               const std::vector<std::string>& drawings) {
  const std::optional<PlateSize> size = parsePlateSize(plate);
  if (!size) {
    throw CLI::ValidationError("--plate", "'" + plate + "' " + std::string(text::kBadPlate));
  }
  DrawingJobRequest request{size->length, size->width, gap, {}};
  const auto exists = [](const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::exists(path, error);
  };
  const auto refusal = [](const std::string& argument, std::string_view why) {
    return CLI::ValidationError("DRAWING[:COUNT]", "'" + argument + "' " + std::string(why));
  };
  for (const std::string& drawing : drawings) {
    const std::optional<DrawingOrder> order = parseDrawingOrder(drawing);
    if (!order) {
      // Blame the count only when there is a drawing before it to count.
      const std::string named = drawing.substr(0, drawing.rfind(':'));
      if (!named.empty() && exists(named)) {
        throw refusal(drawing, text::kBadCount);
      }
      throw refusal(named.empty() ? drawing : named, text::kNoSuchDrawing);
    }
    if (!exists(order->path)) {
      throw refusal(order->path.string(), text::kNoSuchDrawing);
    }
    request.drawings.push_back(*order);
  }
  return request;
}

}  // namespace

std::optional<int> parsePlateCount(const std::string& value) {
  if (value == "auto") {
    return kMaxPlateCount;
  }
  if (value.empty() || value.size() > 4 ||
      !std::all_of(value.begin(), value.end(),
                   [](unsigned char c) { return std::isdigit(c) != 0; })) {
    return std::nullopt;
  }
  const int count = std::stoi(value);
  if (count < 1 || count > kMaxPlateCount) {
    return std::nullopt;
  }
  return count;
}

std::optional<double> parseSearchSeconds(const std::string& value) {
  if (value.empty()) {
    return std::nullopt;
  }
  char* end = nullptr;
  const double seconds = std::strtod(value.c_str(), &end);
  // NaN fails both comparisons; an infinity fails the second.
  if (*end != '\0' || !(seconds > 0.0 && seconds <= kMaxOptimiseSeconds)) {
    return std::nullopt;
  }
  return seconds;
}

std::optional<std::uint64_t> parseWholeNumber(const std::string& value) {
  if (value.empty() || value.size() > 20 ||
      !std::all_of(value.begin(), value.end(),
                   [](unsigned char c) { return std::isdigit(c) != 0; })) {
    return std::nullopt;
  }
  errno = 0;
  const unsigned long long number = std::strtoull(value.c_str(), nullptr, 10);
  if (errno == ERANGE) {
    return std::nullopt;
  }
  return static_cast<std::uint64_t>(number);
}

std::optional<int> parseThreadCount(const std::string& value) {
  const std::optional<std::uint64_t> count = parseWholeNumber(value);
  if (!count || *count < 1 || *count > kMaxOptimiseThreads) {
    return std::nullopt;
  }
  return static_cast<int>(*count);
}

std::string formatName(LibraryFormat format) {
  for (const auto& [name, value] : kFormatNames) {
    if (value == format) {
      return name;
    }
  }
  return "unknown";
}

ParseResult parseCommandLine(int argc, const char* const* argv, std::ostream& out,
                             std::ostream& err) {
  Options options;
  std::vector<std::string> inputs;
  std::string plate;
  double gap = 0.0;
  std::string outDir = options.outDir.string();
  std::string dxfPath = options.dxfPath.string();
  std::string errorReport;
  LibraryFormat format = LibraryFormat::TextLibrary;
  int rotationNumber = 0;
  double packingPointDistance = 0.0;
  std::string plates;
  std::string optimiseSeconds;
  std::string evaluations;
  std::string seed;
  std::string threads;

  CLI::App app{std::string(text::kDescription), std::string(text::kProgramName)};
  app.footer(std::string(text::kFooter));
  app.set_version_flag("--version", std::string(text::kProgramName) + " " + TARN_VERSION);
  app.add_option("LIBRARY", inputs,
                 "The part library: a text library, a part list file or a preSrc file; "
                 "with --plate, the drawings DRAWING[:COUNT]...")
      ->required();
  auto* formatOption =
      app.add_option("--format", format, "Which reader to use (detected when not given)")
          ->transform(CLI::CheckedTransformer(kFormatNames))
          ->option_text("text|list|presrc");
  app.add_option("--layout", options.layout,
                 "LayoutAll, SelectAll then LayoutMultipleSteps, or no layout")
      ->transform(CLI::CheckedTransformer(kLayoutNames))
      ->option_text("all|multi|none (default all)");
  auto* rnOption =
      app.add_option("--rn", rotationNumber, "Rotation number: angles tried per part, 1 to 360")
          ->check(CLI::Range(1, kMaxRotationNumber))
          ->option_text("N");
  auto* ppdOption = app.add_option("--ppd", packingPointDistance,
                                   "Packing point distance in mm (rebuilds the grid)")
                        ->option_text("MM");
  app.add_option("--out", outDir,
                 "Folder for every file written, created when missing (default: the "
                 "current directory)")
      ->check(nonEmpty)
      ->option_text("DIR");
  app.add_option("--dxf", dxfPath,
                 "Name of the layout drawing, relative to --out (default layout.dxf)")
      ->check(nonEmpty)
      ->option_text("PATH");
  auto* errorOption = app.add_option("--error-report", errorReport,
                                     "The error report that loading appends to (default "
                                     "$XDG_STATE_HOME/tarnpacking/PackError.txt)")
                          ->option_text("PATH");
  auto* platesOption =
      app.add_option("--plates", plates,
                     "Lay out on as many plates as needed, at most N (auto: at most 1000); "
                     "each plate's files go to plate-1/, plate-2/ ... under --out")
          ->check(refusing(parsePlateCount, text::kPlatesValueError))
          ->option_text("N|auto");
  auto* optimiseOption =
      app.add_option("--optimise", optimiseSeconds,
                     "After the layout, search for a shorter one for this many seconds "
                     "(see \"Layout search\" in the README)")
          ->check(refusing(parseSearchSeconds, text::kSecondsValueError))
          ->option_text("SECONDS");
  auto* evaluationsOption =
      app.add_option("--evaluations", evaluations,
                     "Budget of the layout search in evaluations per thread: the same seed, "
                     "threads and evaluations give the same layout (alone: the only bound)")
          ->check(refusing(parseEvaluations, text::kEvaluationsValueError))
          ->option_text("N");
  auto* seedOption = app.add_option("--seed", seed, "Seed of the layout search (default 1)")
                         ->check(refusing(parseWholeNumber, text::kSeedValueError))
                         ->option_text("N");
  auto* threadsOption =
      app.add_option("--threads", threads,
                     "Threads of the layout search, 1 to 256 (default: one per core)")
          ->check(refusing(parseThreadCount, text::kThreadsValueError))
          ->option_text("N");
  app.add_flag("--export-parts", options.exportParts,
               "Also write one DXF file per part into --out");
  app.add_flag("--json", options.json, "Print a JSON document instead of the one-line summary");
  app.add_flag("--quiet", options.quiet, "No progress line and no warnings on standard error");
  auto* plateOption = app.add_option("--plate", plate,
                                     "Lay out DXF drawings on a plate of this size in mm, "
                                     "e.g. 3000x1500")
                          ->option_text("LENGTHxWIDTH")
                          ->excludes(formatOption);
  app.add_option("--gap", gap, "With --plate: the gap kept between parts in mm (default 0)")
      ->check(CLI::Range(0.0, kMaxInputMagnitude))
      ->needs(plateOption)
      ->option_text("MM");

  try {
    app.parse(argc, argv);
    if (plateOption->count() > 0) {
      options.drawingJob = drawingJobOf(plate, gap, inputs);
    } else if (inputs.size() > 1) {
      throw CLI::ExtrasError({inputs.begin() + 1, inputs.end()});
    }
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return {std::nullopt, 0};
  } catch (const CLI::CallForVersion& e) {
    out << e.what() << '\n';
    return {std::nullopt, 0};
  } catch (const CLI::ParseError& e) {
    err << text::kProgramName << ": " << e.what() << '\n'
        << CLI::Formatter().make_usage(&app, std::string(text::kProgramName)) << text::kSeeHelp
        << '\n';
    return {std::nullopt, 2};
  }

  if (!options.drawingJob) {
    options.library = inputs.front();
  }
  if (formatOption->count() > 0) {
    options.format = format;
  }
  if (rnOption->count() > 0) {
    options.rotationNumber = rotationNumber;
  }
  if (ppdOption->count() > 0) {
    options.packingPointDistance = packingPointDistance;
  }
  if (platesOption->count() > 0) {
    options.plates = parsePlateCount(plates);
    if (options.layout == LayoutMode::None) {
      err << text::kProgramName << ": " << text::kPlatesNeedLayout << '\n'
          << CLI::Formatter().make_usage(&app, std::string(text::kProgramName)) << text::kSeeHelp
          << '\n';
      return {std::nullopt, 2};
    }
  }
  const auto misuse = [&](std::string_view message) {
    err << text::kProgramName << ": " << message << '\n'
        << CLI::Formatter().make_usage(&app, std::string(text::kProgramName)) << text::kSeeHelp
        << '\n';
    return ParseResult{std::nullopt, 2};
  };
  if (optimiseOption->count() > 0 || evaluationsOption->count() > 0) {
    if (options.layout == LayoutMode::None) {
      return misuse(text::kSearchNeedsLayout);
    }
    SearchSettings search;
    if (optimiseOption->count() > 0) {
      search.budget.seconds = parseSearchSeconds(optimiseSeconds);
    }
    if (evaluationsOption->count() > 0) {
      search.budget.evaluations = parseEvaluations(evaluations);
    }
    if (seedOption->count() > 0) {
      search.seed = *parseWholeNumber(seed);
    }
    search.threads = threadsOption->count() > 0
                         ? *parseThreadCount(threads)
                         : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    options.search = search;
  } else if (seedOption->count() > 0 || threadsOption->count() > 0) {
    return misuse(text::kSearchOptionsNeedSearch);
  }
  options.outDir = outDir;
  options.dxfPath = dxfPath;
  if (errorOption->count() > 0) {
    options.errorReport = errorReport;
  }
  return {std::move(options), 0};
}

}  // namespace tarn::cli
