#include "job/run_context.h"

namespace tarn {

RunContext& defaultRunContext() {
  thread_local RunContext context;
  return context;
}

}  // namespace tarn
