#include "upload/system_ftp_client.h"

#include "base/language.h"

std::string NoFtpClientText() {
    return PickText("Ошибка FTP: в этой сборке нет отправки отчётов",
                    "FTP error: this build does not send reports");
}
