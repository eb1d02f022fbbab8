#include <gtest/gtest.h>

#include "upload/ftp_exchange.h"
#include "upload/secret_text.h"

namespace {

// The usual opening of a session: greeting and login.
void LogIn(FtpExchange& exchange) {
    exchange.Received("220 ready.\r\n");
    exchange.Sent("USER reports\r\n");
    exchange.Received("331 Username ok, send password.\r\n");
    exchange.Sent("PASS S3cret\r\n");
    exchange.Received("230-Welcome\r\n230 Login successful.\r\n");
}

TEST(FtpExchange, FailureIsNamedByTheCommandUnderWay) {
    FtpExchange exchange;
    exchange.Sent("USER reports\r\n");
    EXPECT_EQ(exchange.FailedStep(), FtpFailure::Connection);
    LogIn(exchange);
    EXPECT_TRUE(exchange.LoggedIn());
    exchange.Sent("CWD log5\r\n");
    exchange.Received("550 No such file or directory.\r\n");
    exchange.Sent("MKD log5\r\n");
    EXPECT_EQ(exchange.FailedStep(), FtpFailure::Directory);
    exchange.Received("257 created.\r\n");
    exchange.Sent("CWD log5\r\n");
    exchange.Received("250 ok.\r\n");
    exchange.Sent("PASV\r\n");
    EXPECT_EQ(exchange.FailedStep(), FtpFailure::Append);
    exchange.Sent("APPE rep.txt\r\n");
    exchange.Received("550 Not enough privileges.\r\n");
    EXPECT_EQ(exchange.FailedStep(), FtpFailure::Append);
}

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
