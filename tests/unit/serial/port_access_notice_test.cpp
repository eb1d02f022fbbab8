#include <gtest/gtest.h>

#include "base/language.h"
#include "serial/port_access_notice.h"

namespace {

TEST(PortAccessNotice, SaysARefusedPortOnceUntilItIsForgotten) {
    PortAccessNotice notice;
    EXPECT_EQ(notice.Refused(34, PortProblem::NoPermission), "Нет доступа к порту COM34");
    EXPECT_EQ(notice.Refused(34, PortProblem::NoPermission), std::nullopt);
    EXPECT_EQ(notice.Refused(35, PortProblem::Busy), std::nullopt);

    SetUiLanguage(Language::English);
    EXPECT_EQ(notice.Refused(66, PortProblem::NoPermission), "No access to port COM66");
    notice.Forget(34);
    EXPECT_EQ(notice.Refused(34, PortProblem::NoPermission), "No access to port COM34");
    SetUiLanguage(Language::Russian);
}

}  // namespace
