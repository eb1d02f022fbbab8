#include "app/temp_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "app/own_folder.h"

namespace {

// Everything goes through the folder's descriptor: a name inside it is never
// resolved through a link, nor anew from the path.
void DeleteRegularFiles(int folder) {
    const int listed = ::dup(folder);
    DIR* dir = listed < 0 ? nullptr : ::fdopendir(listed);
    if (dir == nullptr) {
        if (listed >= 0) {
            ::close(listed);
        }
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 ||
            std::strcmp(name, kInstanceLockFile) == 0) {
            continue;
        }
        struct stat info {};
        if (::fstatat(folder, name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)) {
            ::unlinkat(folder, name, 0);
        }
    }
    ::closedir(dir);
}

}  // namespace

std::string TempDirectory() {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

std::string TempFolderPath() {
    return TempDirectory() + "/tlx4_dravo_explorer";
}

std::string PrivateTempFolderPath() {
    return TempFolderPath() + "-" + std::to_string(::geteuid());
}

bool PrepareTempFolder(const std::string& folder) {
    const int fd = OpenOwnFolder(folder);
    if (fd < 0) {
        return false;
    }
    DeleteRegularFiles(fd);
    ::close(fd);
    return true;
}
