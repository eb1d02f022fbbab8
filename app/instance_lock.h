#pragma once

#include <string>

// Keeps a second copy of the program from running. The lock is an OS file lock
// on a file named after the program's mutex, so the kernel drops it when the
// holder dies and a crashed instance never blocks the next start.
class InstanceLock {
  public:
    explicit InstanceLock(std::string path = DefaultPath());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when this object now holds the lock; false when another holder has it
    // or the lock file cannot be opened.
    bool Acquire();
    void Release();
    bool Held() const { return fd_ >= 0; }

    // XDG_RUNTIME_DIR when set, else the temporary directory.
    static std::string DefaultPath();

  private:
    std::string path_;
    int fd_ = -1;
};
