#pragma once

// The command line's own texts: its help, its summary and the English glosses
// printed after the core's Chinese messages.

#include <string_view>

#include "geometry/texts.h"

namespace tarn::cli::text {

inline constexpr std::string_view kProgramName = "tarnpack";
inline constexpr std::string_view kDescription =
    "tarnpack: lays out a part library on its plate and writes the layout drawing (DXF), "
    "a picture of it (SVG) and the packing report.";
inline constexpr std::string_view kFooter =
    "Exit status: 0 done, 1 a file could not be read or written, 2 a usage error.\n"
    "Without --format: a name ending in .preSrc is a preSrc file; a file with a line that "
    "starts with NAME or #end is a text library; anything else is a part list file.\n"
    "Drawings straight away: tarnpack --plate LENGTHxWIDTH [--gap MM] DRAWING[:COUNT]...\n"
    "lays out COUNT copies (default 1) of each DXF drawing; a folder stands for every "
    "drawing in it.\n";

inline constexpr std::string_view kLayoutSvgName = "layout.svg";
inline constexpr std::string_view kLayoutDxfName = "layout.dxf";

// The CLI's own failures, worded as the core words its own.
inline constexpr std::string_view kOutputFolderFailed = "输出文件夹无法创建!";
inline constexpr std::string_view kUnexpectedFailureGloss = "unexpected failure";
inline constexpr std::string_view kSeeHelp = "Run with --help for more information.";
inline constexpr std::string_view kPlatesValueError =
    "expected a number of plates from 1 to 1000, or auto";
inline constexpr std::string_view kPlatesNeedLayout =
    "--plates needs a layout: --layout all or --layout multi";
inline constexpr std::string_view kSecondsValueError =
    "expected a number of seconds above 0 and at most 1e9";
inline constexpr std::string_view kEvaluationsValueError =
    "expected a whole number of evaluations from 1 to 18446744073709551615";
inline constexpr std::string_view kSeedValueError =
    "expected a whole number from 0 to 18446744073709551615";
inline constexpr std::string_view kThreadsValueError = "expected a number of threads from 1 to 256";
inline constexpr std::string_view kSearchNeedsLayout =
    "--optimise and --evaluations need a layout: --layout all or --layout multi";
inline constexpr std::string_view kSearchOptionsNeedSearch =
    "--seed and --threads need --optimise or --evaluations";

// Warnings of the command line's own, UTF-8 (part names decoded).
inline constexpr std::string_view kNoPartsToLayOut =
    "the library has no parts to lay out; parts rejected while loading are listed in the "
    "error report ";
// part "NAME" (id N) + kLargerThanPlate, then its box and the plate's, "%g x %g mm" each.
inline constexpr std::string_view kLargerThanPlate =
    " was not placed: it is larger than the plate in every orientation tried (its box ";
inline constexpr std::string_view kLargerThanPlatePlate = " with half the gap, the plate ";
// "N part(s)" + one of these + ": " + the parts, "\"NAME\" (id N)" each, comma separated.
inline constexpr std::string_view kNoRoomOnPlate = " not placed (no room left on the plate)";
inline constexpr std::string_view kNoRoomOnEmptyPlate =
    " not placed (no place found for them even on an empty plate)";
inline constexpr std::string_view kPlateLimitReached =
    " not placed (the largest number of plates was reached)";
inline constexpr std::string_view kLayoutStopped = " not placed (the layout was stopped)";
// Usage errors of a job from drawings, after the argument quoted.
inline constexpr std::string_view kBadPlate =
    "is no plate size: two positive numbers in mm joined by x, e.g. 3000x1500";
inline constexpr std::string_view kBadCount =
    "has no usable count: DRAWING:COUNT takes a whole number from 1 to 10000";
inline constexpr std::string_view kNoSuchDrawing = "is no drawing or folder";

namespace core = ::tarn::text;

// English glosses of the core's messages, by the text each message starts with.
struct Gloss {
  std::string_view messageStart;
  std::string_view english;
};

inline constexpr Gloss kGlosses[] = {
    {core::kErrorReportWriteFailed, "cannot write the error report"},
    {core::kPlateSizeZero, "the plate has a zero length or width"},
    {core::kPlateDataError, "the plate size is negative"},
    {core::kPartFileReadFailed, "cannot read the part library"},
    {core::kListFileReadFailed, "cannot read the part list file"},
    {core::kDrawingReadFailedPrefix, "a part drawing could not be read and was skipped"},
    {core::kChainTooShort, "a contour of a drawing has too few points"},
    {core::kChainNotClosed, "a contour of a drawing is not closed"},
    {core::kCirclesDoNotMeet, "an arc cannot be built from its end points and radius"},
    {core::kChordHeightError, "an arc or circle is smaller than the chord tolerance"},
    {core::kArcStepError, "an arc cannot be divided"},
    {core::kCircleStepTooLarge, "a circle is too small to be divided"},
    {core::kCircleStepError, "a circle cannot be divided"},
    {core::kTimingFileWriteFailed, "cannot write the timing file"},
    {core::kLayoutFileWriteFailed, "cannot write a layout or part file"},
    {core::kPartsConflictInPlate, "parts on the plate overlap"},
    {core::kWaitingPartsCrossPlate, "a waiting part lies across the plate edge"},
    {kOutputFolderFailed, "cannot create the output folder"},
};

}  // namespace tarn::cli::text
