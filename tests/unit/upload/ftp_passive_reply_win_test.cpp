#include <gtest/gtest.h>

#include "upload/ftp_passive_reply.h"

namespace {

TEST(PassivePort, IsTakenFromTheLastTwoNumbers) {
    EXPECT_EQ(PassivePort("227 Entering passive mode (127,0,0,1,186,181)."), 186 * 256 + 181);
    EXPECT_EQ(PassivePort("227 Entering Passive Mode 10,0,0,7,0,21"), 21);
    EXPECT_EQ(PassivePort("227 =192,168,1,2,255,255"), 65535);
}

TEST(PassivePort, AnythingButAWholePassiveReplyGivesNone) {
    EXPECT_EQ(PassivePort("425 Can't open data connection."), std::nullopt);
    EXPECT_EQ(PassivePort("229 Entering extended passive mode (|||6446|)"), std::nullopt);
    EXPECT_EQ(PassivePort("227 Entering passive mode (127,0,0,1,186)."), std::nullopt);
    EXPECT_EQ(PassivePort("227 Entering passive mode (127,0,0,1,186,256)."), std::nullopt);
    EXPECT_EQ(PassivePort("227 Entering passive mode (127,0,0,1,-1,20)."), std::nullopt);
    EXPECT_EQ(PassivePort("227 Entering passive mode (127,0,0,1,0,0)."), std::nullopt);
    EXPECT_EQ(PassivePort("227 Entering passive mode."), std::nullopt);
    EXPECT_EQ(PassivePort(""), std::nullopt);
}

}  // namespace
