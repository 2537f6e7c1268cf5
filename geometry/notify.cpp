#include "geometry/notify.h"

#include <utility>

#include "geometry/texts.h"

namespace tarn {
namespace {

NoticeHook& processHook() {
  static NoticeHook hook;
  return hook;
}

thread_local NoticeRoute* innermostRoute = nullptr;

}  // namespace

NoticeHook setNoticeHook(NoticeHook hook) {
  return std::exchange(processHook(), std::move(hook));
}

NoticeRoute::NoticeRoute(NoticeHook hook)
    : hook_(std::move(hook)), outer_(std::exchange(innermostRoute, this)) {}

NoticeRoute::~NoticeRoute() {
  innermostRoute = outer_;
}

void raiseNotice(const Notice& notice) {
  const NoticeHook& hook = innermostRoute != nullptr ? innermostRoute->hook_ : processHook();
  if (hook) {
    hook(notice);
  }
}

void notifyWarning(std::string_view text) {
  raiseNotice(Notice{Notice::Kind::Warning, std::string(text::kWarningCaption), std::string(text)});
}

void announce(std::string_view text) {
  raiseNotice(
      Notice{Notice::Kind::Announcement, std::string(text::kNoticeCaption), std::string(text)});
}

}  // namespace tarn
