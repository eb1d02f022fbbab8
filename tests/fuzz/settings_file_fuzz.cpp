// A settings file of any text, checked for either model. An accepted file
// holds exactly the codes it names, and the file written back from what was
// taken is accepted again with the same codes, calibration and identity.

#include <nlohmann/json.hpp>

#include "fuzz_support.h"
#include "protocol/device_models.h"
#include "settings/settings_file.h"

namespace {

void CheckCodesAsWritten(const std::string& text, const SettingsValues& values) {
    const auto document = nlohmann::json::parse(text);
    for (const auto& [key, code] : document["settings"].items()) {
        const auto taken = values.Code(key);
        FUZZ_CHECK(taken.has_value());
        FUZZ_CHECK(code.is_number_integer() && code.get<std::int64_t>() == *taken);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const SupportedModel& model = *FindSupportedModel(data[0] % 2 == 0 ? 310 : 520);
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const SettingsFileCheck check = CheckSettingsDocument(text, model);
    if (!check.Ok()) {
        FUZZ_CHECK(!check.values.has_value());
        return 0;
    }
    FUZZ_CHECK(check.values.has_value() && !check.values->AnyUndefined());
    CheckCodesAsWritten(text, *check.values);

    const std::string again = SettingsDocument(*check.values, check.calibration, check.identity);
    const SettingsFileCheck reread = CheckSettingsDocument(again, model);
    FUZZ_CHECK(reread.Ok());
    FUZZ_CHECK(reread.values->codes == check.values->codes);
    FUZZ_CHECK(reread.calibration == check.calibration);
    FUZZ_CHECK(reread.identity.serialNumber == check.identity.serialNumber);
    FUZZ_CHECK(reread.identity.date == check.identity.date);
    return 0;
}
