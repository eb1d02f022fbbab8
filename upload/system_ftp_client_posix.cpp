#include "upload/system_ftp_client.h"

#include "upload/curl_ftp_client.h"

std::unique_ptr<FtpClient> SystemFtpClient(FtpAccount account) {
    return std::make_unique<CurlFtpClient>(std::move(account));
}
