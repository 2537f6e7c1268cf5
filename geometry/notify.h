#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarn {

// A message shown while work goes on. The core raises it and carries on; the
// front end decides how to show it (modal box, stderr line, test recorder).
struct Notice {
  enum class Kind {
    Warning,       // caption "Warning!", OK button
    Announcement,  // the end-of-layout notice: a sound, then the text
  };
  Kind kind = Kind::Warning;
  std::string caption;  // UTF-8
  std::string text;     // UTF-8
};

using NoticeHook = std::function<void(const Notice&)>;

// Installs the hook and returns the previous one. Without a hook notices are
// dropped. Single-threaded, like the rest of the core.
NoticeHook setNoticeHook(NoticeHook hook);

void notifyWarning(std::string_view text);
void announce(std::string_view text);

}  // namespace tarn
