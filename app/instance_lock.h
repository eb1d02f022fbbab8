#pragma once

#include <cstdint>
#include <string>

// Keeps a second copy of the program from running. On Linux the lock is an OS
// file lock on a file named after the program's mutex, in a folder of the
// user's own; on Windows it is the named mutex itself, in the session's
// namespace. Either way the system drops it when the holder dies, so a crashed
// instance never blocks the next start, and another user's lock never blocks
// this user.
class InstanceLock {
  public:
    // The lock file is `path`; where it cannot be created (a read-only runtime
    // folder, or one that is not the user's own), `fallback`. A folder that
    // is missing is made with mode 0700. On Windows `path` is the mutex's name
    // and there is no fallback.
    explicit InstanceLock(std::string path = DefaultPath(), std::string fallback = FallbackPath());
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another holder has the lock. True when this object now holds
    // it, and also when no lock file could be made at all (Unavailable()): a
    // program that cannot tell is better started than refused.
    bool Acquire();
    void Release();
    bool Held() const { return holder_ != kNone; }
    bool Unavailable() const { return unavailable_; }

    // In XDG_RUNTIME_DIR when set, else in the private temporary folder; on
    // Windows the mutex "Local\\TLX4_Dravo_Explorer_Mutex".
    static std::string DefaultPath();
    // In the private temporary folder (PrivateTempFolderPath); none on Windows.
    static std::string FallbackPath();

  private:
    // 1 held, 0 held by another, -1 the file cannot be opened.
    int TryLock(const std::string& path);

    std::string path_;
    std::string fallback_;
    static constexpr std::intptr_t kNone = -1;

    bool unavailable_ = false;
    // The lock file's descriptor, or the mutex's handle on Windows.
    std::intptr_t holder_ = kNone;
};
