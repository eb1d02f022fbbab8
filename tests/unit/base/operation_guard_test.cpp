#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "support/recording_host.h"

TEST(OperationGuard, SwitchesOffWhatItNamesAndRestoresItOnEveryWayOut) {
    RecordingHost host;
    {
        OperationGuard guard(host, {.linkCheck = true, .pages = true, .busy = true});
        EXPECT_FALSE(host.linkCheckEnabled);
        EXPECT_FALSE(host.pagesEnabled);
        EXPECT_TRUE(host.busy);
    }
    EXPECT_TRUE(host.linkCheckEnabled);
    EXPECT_TRUE(host.pagesEnabled);
    EXPECT_FALSE(host.busy);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"link-check off", "pages off", "busy on",
                                                    "busy off", "pages on", "link-check on"}));

    host.calls.clear();
    EXPECT_THROW(
        {
            OperationGuard guard(host, {.linkCheck = true, .pages = false, .busy = false});
            throw std::runtime_error("device gone");
        },
        std::runtime_error);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"link-check off", "link-check on"}));
    EXPECT_TRUE(host.linkCheckEnabled);
}

TEST(OperationGuard, NestedGuardsRestoreOnlyWhenTheLastHolderEnds) {
    RecordingHost host;
    {
        OperationGuard outer(host, {.linkCheck = true, .pages = true, .busy = false});
        {
            OperationGuard inner(host, {.linkCheck = true, .pages = false, .busy = true});
            EXPECT_TRUE(host.busy);
        }
        // The inner operation ended; the outer one still owns the link.
        EXPECT_FALSE(host.linkCheckEnabled);
        EXPECT_FALSE(host.pagesEnabled);
        EXPECT_FALSE(host.busy);
    }
    EXPECT_TRUE(host.linkCheckEnabled);
    EXPECT_TRUE(host.pagesEnabled);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"link-check off", "pages off", "busy on",
                                                    "busy off", "pages on", "link-check on"}));
}

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
