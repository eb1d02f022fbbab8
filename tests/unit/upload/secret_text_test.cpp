#include <gtest/gtest.h>

#include "upload/secret_text.h"

namespace {

TEST(Masked, EveryOccurrenceOfTheSecretIsHidden) {
    EXPECT_EQ(Masked("PASS S3cret; again S3cret", "S3cret"), "PASS ***; again ***");
    EXPECT_EQ(Masked("S3cretS3cret", "S3cret"), "******");
    EXPECT_EQ(Masked("530 Login incorrect.", "S3cret"), "530 Login incorrect.");
    EXPECT_EQ(Masked("no secret to hide", ""), "no secret to hide");
}

TEST(Masked, SecretThatTheMaskHoldsStillEnds) {
    EXPECT_EQ(Masked("a*b", "*"), "a***b");
    EXPECT_EQ(Masked("x**y", "**"), "x***y");
}

}  // namespace
