#pragma once

#include <string>

// The system temporary directory without a trailing slash: TMPDIR when set,
// otherwise /tmp.
std::string TempDirectory();

// The program's usual staging folder inside the temporary directory.
std::string TempFolderPath();

// The user's own folder for when the usual one is not safe to use: on Linux
// "tlx4_dravo_explorer-<uid>" in the temporary directory, which also holds the
// instance lock where there is no runtime folder; none on Windows, where the
// temporary directory is the user's own.
std::string PrivateTempFolderPath();

// The instance lock's file, which emptying a staging folder leaves alone.
inline constexpr const char* kInstanceLockFile = "TLX4_Dravo_Explorer_Mutex.lock";

// Creates the folder when missing and deletes the regular files in it (not
// sub-folders, links, the instance lock, nor files that cannot be deleted).
// False when the folder cannot be made or is not the user's own: a link, owned
// by another user, or writable by others.
bool PrepareTempFolder(const std::string& folder);

struct StagingFolder {
    std::string path;            // empty when no folder could be used
    bool privateFolder = false;  // the usual folder was refused
};

// Prepares the usual folder, or else the private one.
StagingFolder PrepareStagingFolder();
