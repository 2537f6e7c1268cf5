#include "geometry/notify.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "tests/support/test_support.h"

namespace tarn {
namespace {

using test::textsOf;

TEST(NoticeRoute, TheInnermostRouteOfTheRaisingThreadWinsAndItsEndRestoresTheOuter) {
  std::vector<std::string> processWide;
  const NoticeHook before =
      setNoticeHook([&](const Notice& notice) { processWide.push_back(notice.text); });
  {
    NoticeCollector outer;
    notifyWarning("outer 1");
    std::vector<Notice> fromWorker;
    std::thread worker([&] {
      notifyWarning("worker, no route");
      NoticeCollector own;
      announce("worker, own route");
      fromWorker = own.notices();
    });
    worker.join();
    {
      NoticeCollector inner;
      notifyWarning("inner");
      EXPECT_EQ(textsOf(inner.notices()), std::vector<std::string>{"inner"});
      EXPECT_EQ(inner.notices()[0].kind, Notice::Kind::Warning);
    }
    {
      const NoticeRoute silent{NoticeHook()};
      notifyWarning("dropped");
    }
    notifyWarning("outer 2");
    EXPECT_EQ(textsOf(outer.notices()), (std::vector<std::string>{"outer 1", "outer 2"}));
    ASSERT_EQ(textsOf(fromWorker), std::vector<std::string>{"worker, own route"});
    EXPECT_EQ(fromWorker[0].kind, Notice::Kind::Announcement);
  }
  notifyWarning("after");
  setNoticeHook(before);
  EXPECT_EQ(processWide, (std::vector<std::string>{"worker, no route", "after"}));
}

}  // namespace
}  // namespace tarn
