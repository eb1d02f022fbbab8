#include "upload/secret_text.h"

std::string Masked(std::string text, const std::string& secret) {
    static const std::string kMask = "***";
    if (secret.empty()) {
        return text;
    }
    // The search goes on after the mask, which may itself hold the secret ("*").
    for (std::size_t at = text.find(secret); at != std::string::npos;
         at = text.find(secret, at + kMask.size())) {
        text.replace(at, secret.size(), kMask);
    }
    return text;
}
