#pragma once

#include <string>

// Keeps a second copy of the program from running. The lock is an OS file lock
// on a file named after the program's mutex, so the kernel drops it when the
// holder dies and a crashed instance never blocks the next start.
class InstanceLock {
  public:
    // The lock file is `path`; where it cannot be created (a read-only runtime
    // folder), `fallback`.
    explicit InstanceLock(std::string path = DefaultPath(), std::string fallback = FallbackPath());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another holder has the lock. True when this object now holds
    // it, and also when no lock file could be made at all (Unavailable()): a
    // program that cannot tell is better started than refused.
    bool Acquire();
    void Release();
    bool Held() const { return fd_ >= 0; }
    bool Unavailable() const { return unavailable_; }

    // XDG_RUNTIME_DIR when set, else the temporary directory.
    static std::string DefaultPath();
    // The temporary directory.
    static std::string FallbackPath();

  private:
    // 1 held, 0 held by another, -1 the file cannot be opened.
    int TryLock(const std::string& path);

    std::string path_;
    std::string fallback_;
    bool unavailable_ = false;
    int fd_ = -1;
};
