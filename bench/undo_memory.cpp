// What the undo history of the desktop program holds on a large job: the
// library given (shirts.txt, say) repeated `copies` times on a plate `copies`
// times as long, opened, laid out with Layout All, every part selected and
// dragged once, then the selection cleared, each a step of the history.
// Prints, after each step, the bytes the history counts and the heap that
// glibc reports in use, both relative to the job as loaded (the grid of packing
// points, built by the layout, included in the latter).
//
//   build-bench/bench/undo_memory ../shared/bench/esicup/shirts.txt 16
#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/commands.h"
#include "app/job_runs.h"
#include "geometry/notify.h"
#include "support/mixed_library.h"
#include "support/test_support.h"

namespace {

double megabytes(double bytes) {
  return bytes / (1024.0 * 1024.0);
}

// Chunks in use, those glibc maps on their own (large arrays) included.
long heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<long>(info.uordblks + info.hblkhd);
}

}  // namespace

int main(int argc, char* argv[]) {
  using namespace tarn;
  if (argc != 3) {
    std::fprintf(stderr, "usage: undo_memory LIBRARY COPIES\n");
    return 2;
  }
  const int copies = std::atoi(argv[2]);
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "undo_memory";
  std::filesystem::create_directories(folder);
  const std::filesystem::path library = folder / "repeated.txt";
  test::writeBytes(library, test::repeatedTextLibrary(test::readBytes(argv[1]), copies));
  setenv("XDG_STATE_HOME", folder.c_str(), 1);
  const NoticeRoute quiet([](const Notice&) {});

  AppState state;
  state.outputFolder = folder;
  openLibraryFile(state, library, LibraryFormat::TextLibrary);
  state.history.reset(nullptr);
  malloc_trim(0);
  const long loaded = heapInUse();
  const auto report = [&](const char* step) {
    std::printf("%-34s history %8.2f MB   heap above the loaded job %8.2f MB\n", step,
                megabytes(static_cast<double>(state.history.bytes())),
                megabytes(static_cast<double>(heapInUse() - loaded)));
  };
  std::printf("%d parts\n", state.job->workingParts.count());
  state.history.reset(state.job.get());
  report("copy of the working parts");
  runNow(state, *pressPackingKitButton(state, kKitLayoutAll).run);
  malloc_trim(0);
  report("+ Layout All");
  typeCharacter(state, U'A', true);
  report("+ Select All");
  typeCharacter(state, U'M', false);
  pressLeftButton(state, {100, 100}, false);
  for (int step = 1; step <= 20; ++step) {
    moveMouse(state, {100 + step, 100}, false);
  }
  pressLeftButton(state, {121, 100}, false);
  report("+ a drag of every part (20 moves)");
  typeCharacter(state, 0x1b, false);
  report("+ Select None");
  runMenuCommand(state, kUndo);
  runMenuCommand(state, kUndo);
  runMenuCommand(state, kUndo);
  runMenuCommand(state, kUndo);
  report("all four undone");
  std::printf("grid %d x %d, %zu steps\n", state.job->gridCountX, state.job->gridCountY,
              state.history.stepCount());
  return 0;
}
