#pragma once

#include <string>

// The system temporary directory without a trailing slash: TMPDIR when set,
// otherwise /tmp.
std::string TempDirectory();

// The program's own staging folder inside the temporary directory.
std::string TempFolderPath();

// Creates the folder when missing and deletes the files in it (sub-folders and
// files that cannot be deleted stay). False when the folder cannot be made.
bool PrepareTempFolder(const std::string& folder);
