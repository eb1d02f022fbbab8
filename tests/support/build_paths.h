#pragma once

#include <string>

// Where the tests find the built programs and the sources, fixed when the tests
// are built. Only build_paths.cpp holds the paths, so that no other object
// depends on the folder the checkout lies in and the compiler cache serves a
// checkout in another folder.
namespace build_paths {

std::string BinDir();
std::string SourceDir();

}  // namespace build_paths
