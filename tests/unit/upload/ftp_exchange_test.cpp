#include <gtest/gtest.h>

#include "upload/ftp_exchange.h"

namespace {

// The usual opening of a session: greeting, login, working directory.
void LogIn(FtpExchange& exchange) {
    exchange.Received("220 ready.\r\n");
    exchange.Sent("USER reports\r\n");
    exchange.Received("331 Username ok, send password.\r\n");
    exchange.Sent("PASS S3cret\r\n");
    exchange.Received("230-Welcome\r\n230 Login successful.\r\n");
}

TEST(FtpExchange, FailureBeforeTheLoginIsAConnectionFailure) {
    FtpExchange exchange;
    EXPECT_EQ(exchange.FailedStep(), FtpFailure::Connection);
    exchange.Received("220 ready.\r\n");
    exchange.Sent("USER reports\r\n");
    exchange.Received("331 Username ok, send password.\r\n");
    exchange.Sent("PASS wrong\r\n");
    exchange.Received("530 Authentication failed.\r\n");
    EXPECT_FALSE(exchange.LoggedIn());
    EXPECT_EQ(exchange.FailedStep(), FtpFailure::Connection);
    EXPECT_EQ(exchange.LastReply(), "530 Authentication failed.");
}

TEST(FtpExchange, FailureIsNamedByTheCommandUnderWay) {
    FtpExchange exchange;
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

TEST(FtpExchange, PasswordIsNeverKept) {
    FtpExchange exchange;
    exchange.Sent("PASS S3cret\r\n");
    exchange.Received("530 Authentication failed.\r\n");
    EXPECT_EQ(exchange.LastReply().find("S3cret"), std::string::npos);
}

TEST(FtpExchange, TellsWhetherTheServerOfferedTls) {
    FtpExchange refused;
    refused.Sent("AUTH SSL\r\n");
    refused.Received("500 Command \"AUTH\" not understood.\r\n");
    refused.Sent("AUTH TLS\r\n");
    refused.Received("500 Command \"AUTH\" not understood.\r\n");
    EXPECT_FALSE(refused.TlsOffered());

    FtpExchange offered;
    offered.Sent("AUTH SSL\r\n");
    offered.Received("234 AUTH SSL successful.\r\n");
    EXPECT_TRUE(offered.TlsOffered());
    EXPECT_FALSE(offered.ProtectionAccepted());
    LogIn(offered);
    offered.Sent("PBSZ 0\r\n");
    offered.Received("200 PBSZ=0 successful.\r\n");
    EXPECT_FALSE(offered.ProtectionAccepted());
    offered.Sent("PROT P\r\n");
    offered.Received("200 Protection set to Private\r\n");
    EXPECT_TRUE(offered.ProtectionAccepted());
}

}  // namespace
