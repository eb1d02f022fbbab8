#include "app/instance_lock.h"

#include <windows.h>

#include "base/wide_text.h"

int InstanceLock::TryLock(const std::string& path) {
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, WideFromUtf8(path).c_str());
    // A mutex of another user in this session denies access: that is -1, so it
    // never keeps this user's program from starting.
    if (mutex == nullptr) {
        return -1;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return 0;
    }
    holder_ = reinterpret_cast<std::intptr_t>(mutex);
    return 1;
}

void InstanceLock::Release() {
    if (!Held()) {
        return;
    }
    CloseHandle(reinterpret_cast<HANDLE>(holder_));
    holder_ = kNone;
}

std::string InstanceLock::DefaultPath() {
    // The session's own namespace, which is also where an unprefixed name goes:
    // users in other sessions never see it.
    return "Local\\TLX4_Dravo_Explorer_Mutex";
}

std::string InstanceLock::FallbackPath() {
    return {};
}
