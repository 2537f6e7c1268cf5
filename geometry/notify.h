#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// Installs the process-wide hook and returns the previous one. A front end
// sets it once, before any other thread can raise a notice; workers never
// swap it (they route their own thread's notices, below). Without a hook
// notices are dropped.
NoticeHook setNoticeHook(NoticeHook hook);

// While it lives, the notices raised on the thread that created it go to
// `hook` instead of the process-wide hook (an empty hook drops them). Routes
// nest: the innermost one wins, and its end restores the one before. Create
// and destroy it on the same thread, innermost first.
class NoticeRoute {
 public:
  explicit NoticeRoute(NoticeHook hook);
  ~NoticeRoute();
  NoticeRoute(const NoticeRoute&) = delete;
  NoticeRoute& operator=(const NoticeRoute&) = delete;

 private:
  friend void raiseNotice(const Notice& notice);

  NoticeHook hook_;
  NoticeRoute* outer_;
};

// Keeps the notices raised on its thread while it lives, in order: how a
// worker thread collects its notices to hand them back.
class NoticeCollector {
 public:
  NoticeCollector() = default;
  NoticeCollector(const NoticeCollector&) = delete;
  NoticeCollector& operator=(const NoticeCollector&) = delete;

  const std::vector<Notice>& notices() const { return notices_; }

 private:
  std::vector<Notice> notices_;
  NoticeRoute route_{[this](const Notice& notice) { notices_.push_back(notice); }};
};

// To the calling thread's innermost NoticeRoute, else to the process-wide hook.
void raiseNotice(const Notice& notice);
void notifyWarning(std::string_view text);
void announce(std::string_view text);

}  // namespace tarn
