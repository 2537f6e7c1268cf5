#include "geometry/notify.h"

#include <utility>

#include "geometry/texts.h"

namespace tarn {
namespace {

NoticeHook& currentHook() {
  static NoticeHook hook;
  return hook;
}

void raise(Notice::Kind kind, std::string_view caption, std::string_view text) {
  if (const NoticeHook& hook = currentHook()) {
    hook(Notice{kind, std::string(caption), std::string(text)});
  }
}

}  // namespace

NoticeHook setNoticeHook(NoticeHook hook) { return std::exchange(currentHook(), std::move(hook)); }

void notifyWarning(std::string_view text) {
  raise(Notice::Kind::Warning, text::kWarningCaption, text);
}

void announce(std::string_view text) {
  raise(Notice::Kind::Announcement, text::kNoticeCaption, text);
}

}  // namespace tarn
