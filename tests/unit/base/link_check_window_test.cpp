#include <gtest/gtest.h>

#include <optional>

#include "support/recording_host.h"

namespace {

TEST(LinkCheckWindow, OpensTheTestUnderAGuardAndHoldsItOffAgainAfter) {
    RecordingHost host;
    OperationGuard guard(host, {});
    ASSERT_FALSE(host.linkCheckEnabled);
    {
        LinkCheckWindow window(host);
        EXPECT_TRUE(host.linkCheckEnabled);
    }
    EXPECT_FALSE(host.linkCheckEnabled);
}

TEST(LinkCheckWindow, ChangesNothingWhenNoGuardHoldsTheTestOff) {
    RecordingHost host;
    std::optional<LinkCheckWindow> window(std::in_place, host);
    window.reset();
    EXPECT_TRUE(host.linkCheckEnabled);
    EXPECT_TRUE(host.calls.empty());
}

}  // namespace
