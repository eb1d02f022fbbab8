#include "upload/curl_ftp_client.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>

#include "upload/ftp_exchange.h"
#include "upload/ftp_url.h"
#include "upload/secret_text.h"

namespace {

void InitialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct SlistDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;

struct EasyDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};

std::string Escaped(CURL* handle, const std::string& text) {
    char* escaped = curl_easy_escape(handle, text.c_str(), static_cast<int>(text.size()));
    std::string result = escaped != nullptr ? escaped : "";
    curl_free(escaped);
    return result;
}

// The directories' URL: ftp://host:port/dir1/dir2/ followed by `fileName`.
// Paths are relative to the login directory.
std::string Url(CURL* handle, const FtpAccount& account,
                const std::vector<std::string>& directories, const std::string& fileName) {
    std::string url = "ftp://" + FtpAuthority(account.host, account.port) + "/";
    for (const auto& directory : directories) {
        url += Escaped(handle, directory) + "/";
    }
    return url + Escaped(handle, fileName);
}

}  // namespace

// One libcurl transfer: a login, the work, a logout.
class CurlFtpClient::Session {
  public:
    Session(const FtpAccount& account, long tlsLevel, std::uint32_t timeLimitMs)
        : handle_(curl_easy_init()) {
        CURL* handle = handle_.get();
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(handle, CURLOPT_USERNAME, account.user.c_str());
        curl_easy_setopt(handle, CURLOPT_PASSWORD, account.password.c_str());
        curl_easy_setopt(handle, CURLOPT_USE_SSL, tlsLevel);
        if (!account.caFile.empty()) {
            curl_easy_setopt(handle, CURLOPT_CAINFO, account.caFile.c_str());
        }
        curl_easy_setopt(handle, CURLOPT_FTP_USE_EPSV, 0L);
        curl_easy_setopt(handle, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_MULTICWD));
        // The time left bounds every wait: connect and login, each reply, the transfer.
        const long limit = static_cast<long>(timeLimitMs);
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, limit);
        curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, limit);
        curl_easy_setopt(handle, CURLOPT_SERVER_RESPONSE_TIMEOUT, (limit + 999) / 1000);
        curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, error_);
        curl_easy_setopt(handle, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(handle, CURLOPT_DEBUGFUNCTION, &Session::OnDebug);
        curl_easy_setopt(handle, CURLOPT_DEBUGDATA, this);
    }

    CURL* Handle() const { return handle_.get(); }
    const FtpExchange& Exchange() const { return exchange_; }
    const char* ErrorText() const { return error_; }

    void SetQuote(const char* command) {
        quote_.reset(curl_slist_append(nullptr, command));
        curl_easy_setopt(Handle(), CURLOPT_QUOTE, quote_.get());
    }

    void SetUpload(const std::string& content, const FtpBytesSent& sent) {
        content_ = &content;
        sent_ = sent;
        curl_easy_setopt(Handle(), CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(Handle(), CURLOPT_APPEND, 1L);
        curl_easy_setopt(Handle(), CURLOPT_INFILESIZE_LARGE,
                         static_cast<curl_off_t>(content.size()));
        curl_easy_setopt(Handle(), CURLOPT_READFUNCTION, &Session::OnRead);
        curl_easy_setopt(Handle(), CURLOPT_READDATA, this);
        if (sent_) {
            curl_easy_setopt(Handle(), CURLOPT_NOPROGRESS, 0L);
            curl_easy_setopt(Handle(), CURLOPT_XFERINFOFUNCTION, &Session::OnProgress);
            curl_easy_setopt(Handle(), CURLOPT_XFERINFODATA, this);
        }
    }

    CURLcode Perform() { return curl_easy_perform(Handle()); }

  private:
    static int OnDebug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
        auto& exchange = static_cast<Session*>(self)->exchange_;
        if (type == CURLINFO_HEADER_OUT) {
            exchange.Sent(std::string_view(data, size));
        } else if (type == CURLINFO_HEADER_IN) {
            exchange.Received(std::string_view(data, size));
        }
        return 0;
    }

    static size_t OnRead(char* buffer, size_t size, size_t count, void* self) {
        auto& session = *static_cast<Session*>(self);
        const size_t length = std::min(size * count, session.content_->size() - session.position_);
        session.content_->copy(buffer, length, session.position_);
        session.position_ += length;
        return length;
    }

    static int OnProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t uploaded) {
        static_cast<Session*>(self)->sent_(static_cast<std::uint64_t>(uploaded));
        return 0;
    }

    std::unique_ptr<CURL, EasyDeleter> handle_;
    FtpExchange exchange_;
    Slist quote_;
    const std::string* content_ = nullptr;
    std::size_t position_ = 0;
    FtpBytesSent sent_;
    char error_[CURL_ERROR_SIZE] = {};
};

CurlFtpClient::CurlFtpClient(FtpAccount account)
    : account_(std::move(account)), tlsLevel_(CURLUSESSL_TRY) {
    InitialiseCurlOnce();
}

FtpResult CurlFtpClient::MakeDirectories(const std::vector<std::string>& directories,
                                         std::uint32_t timeLimitMs) {
    Session session(account_, tlsLevel_, timeLimitMs);
    curl_easy_setopt(session.Handle(), CURLOPT_URL,
                     Url(session.Handle(), account_, directories, "").c_str());
    curl_easy_setopt(session.Handle(), CURLOPT_NOBODY, 1L);
    curl_easy_setopt(session.Handle(), CURLOPT_FTP_CREATE_MISSING_DIRS,
                     static_cast<long>(CURLFTP_CREATE_DIR));
    return Finish(session);
}

FtpResult CurlFtpClient::AppendFile(const std::vector<std::string>& directories,
                                    const std::string& fileName, const std::string& content,
                                    std::uint32_t timeLimitMs, const FtpBytesSent& sent) {
    Session session(account_, tlsLevel_, timeLimitMs);
    curl_easy_setopt(session.Handle(), CURLOPT_URL,
                     Url(session.Handle(), account_, directories, fileName).c_str());
    // The asterisk lets the session go on when the server refuses the type.
    session.SetQuote("*TYPE L 8");
    session.SetUpload(content, sent);
    return Finish(session);
}

FtpResult CurlFtpClient::Finish(Session& session) {
    const CURLcode code = session.Perform();
    const FtpExchange& exchange = session.Exchange();
    if (exchange.TlsOffered()) {
        // PROT P is asked for unless only the control connection is required.
        const bool dataProtected = exchange.ProtectionAccepted() && tlsLevel_ != CURLUSESSL_CONTROL;
        tlsLevel_ = std::max<long>(tlsLevel_, dataProtected ? CURLUSESSL_ALL : CURLUSESSL_CONTROL);
    }
    if (code == CURLE_OK) {
        return {};
    }
    std::string detail =
        session.ErrorText()[0] != '\0' ? session.ErrorText() : curl_easy_strerror(code);
    if (!exchange.LastReply().empty()) {
        detail += " [" + exchange.LastReply() + "]";
    }
    return {exchange.FailedStep(), Masked(detail, account_.password)};
}
