#pragma once

#include <map>
#include <string>

#include "upload/upload_config.h"

// One group of an INI options file, as the program's options file keeps it:
// "[GROUP]" lines open a group, "Name=Value" lines give values, ";" and "#"
// start comment lines. A value in double quotes keeps its spaces and takes
// the escapes \" and \\. A missing or unreadable file holds no values.
class IniGroupOptions : public UploadOptionsSource {
  public:
    IniGroupOptions(const std::string& fileName, const std::string& group);

    std::optional<std::string> ReadString(const std::string& name) override;

  private:
    std::map<std::string, std::string> values_;
};
