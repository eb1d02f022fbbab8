#include "upload/system_ftp_client.h"

#include "upload/wininet_ftp_client.h"

std::unique_ptr<FtpClient> SystemFtpClient(FtpAccount account) {
    return std::make_unique<WinInetFtpClient>(std::move(account));
}
