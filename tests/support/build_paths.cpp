#include "support/build_paths.h"

namespace build_paths {

std::string BinDir() {
    return DRAVO_BIN_DIR;
}

std::string SourceDir() {
    return DRAVO_SOURCE_DIR;
}

}  // namespace build_paths
