#include "upload/system_ftp_client.h"

std::unique_ptr<FtpClient> SystemFtpClient(FtpAccount) {
    return nullptr;
}
