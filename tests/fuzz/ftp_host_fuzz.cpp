// The server of the upload account as the options give it: the input is the
// Host value, then, after a line break, the Port value when there is one. A
// server taken without a problem has a port from 1 to 65535, and the URL's
// server part built from it holds nothing a URL would read otherwise and reads
// back as the same server and port.

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "upload/ftp_url.h"
#include "upload/upload_config.h"

namespace {

class Values : public UploadOptionsSource {
  public:
    std::optional<std::string> ReadString(const std::string& name) override {
        const auto found = values_.find(name);
        return found == values_.end() ? std::nullopt : std::optional<std::string>(found->second);
    }
    void Set(const std::string& name, std::string value) { values_[name] = std::move(value); }

  private:
    std::map<std::string, std::string> values_;
};

UploadConfig Read(std::string_view host, std::optional<std::string_view> port) {
    Values values;
    values.Set("User", "reports");
    values.Set("Host", std::string(host));
    if (port) {
        values.Set("Port", std::string(*port));
    }
    return ReadUploadConfig(values);
}

bool AuthorityCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
           std::string_view(".-_:[]").find(c) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::size_t lineBreak = text.find('\n');
    const std::optional<std::string_view> port = lineBreak == std::string_view::npos
                                                     ? std::nullopt
                                                     : std::optional(text.substr(lineBreak + 1));
    const UploadConfig config = Read(text.substr(0, lineBreak), port);
    if (!config.Configured() || !config.problem.empty()) {
        return 0;
    }
    FUZZ_CHECK(config.port >= 1 && config.port <= 65535);
    const std::string authority = FtpAuthority(config.host, config.port);
    FUZZ_CHECK(std::all_of(authority.begin(), authority.end(), AuthorityCharacter));
    const UploadConfig again = Read(authority, std::nullopt);
    FUZZ_CHECK(again.problem.empty());
    FUZZ_CHECK(again.host == config.host && again.port == config.port);
    return 0;
}
