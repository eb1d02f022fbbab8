#include "serial/com_port.h"

#include <windows.h>

#include <thread>

#include "base/wide_text.h"

class ComPort::Native {
  public:
    HANDLE port = INVALID_HANDLE_VALUE;
    // One overlapped record each, so that the reader's comm-event wait can be
    // pending while a read or a write runs.
    OVERLAPPED read{};
    OVERLAPPED write{};
    OVERLAPPED wait{};
    // Wakes the reader to stop.
    HANDLE stop = nullptr;
    std::thread reader;

    void CloseHandles() {
        for (HANDLE* handle : {&port, &read.hEvent, &write.hEvent, &wait.hEvent, &stop}) {
            if (*handle != nullptr && *handle != INVALID_HANDLE_VALUE) {
                CloseHandle(*handle);
            }
            *handle = handle == &port ? INVALID_HANDLE_VALUE : nullptr;
        }
    }
};

namespace {

constexpr DWORD kQueueBytes = 4096;
constexpr DWORD kTimeoutBaseMs = 100;
constexpr DWORD kTimeoutPerByteMs = 100;
constexpr DWORD kFailedWaitPauseMs = 1;
constexpr DWORD kGraceMs = 100;

bool Configure(HANDLE port, std::uint32_t baud) {
    DCB line{};
    line.DCBlength = sizeof line;
    if (!SetupComm(port, kQueueBytes, kQueueBytes) || !GetCommState(port, &line)) {
        return false;
    }
    line.BaudRate = baud;
    line.fBinary = TRUE;
    line.fParity = FALSE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDtrControl = DTR_CONTROL_DISABLE;
    line.fDsrSensitivity = FALSE;
    line.fTXContinueOnXoff = TRUE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
    line.fErrorChar = FALSE;
    line.fNull = FALSE;
    line.fRtsControl = RTS_CONTROL_DISABLE;
    line.fAbortOnError = FALSE;
    line.XonLim = 0;
    line.XoffLim = 4096;
    line.ByteSize = 8;
    line.Parity = NOPARITY;
    line.StopBits = ONESTOPBIT;
    line.XonChar = 0;
    line.XoffChar = 0;
    if (!SetCommState(port, &line)) {
        return false;
    }
    // Each transfer is bounded by 100 ms plus 100 ms per byte, as on Linux.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = kTimeoutPerByteMs;
    timeouts.ReadTotalTimeoutConstant = kTimeoutBaseMs;
    timeouts.WriteTotalTimeoutMultiplier = kTimeoutPerByteMs;
    timeouts.WriteTotalTimeoutConstant = kTimeoutBaseMs;
    return SetCommTimeouts(port, &timeouts) &&
           PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR) &&
           SetCommMask(port, EV_RXCHAR | EV_ERR);
}

// The code of the call that just failed; never 0, which would read as success.
DWORD LastFailure() {
    const DWORD error = GetLastError();
    return error != 0 ? error : ERROR_GEN_FAILURE;
}

// One overlapped transfer of `count` bytes with its own record; the count
// moved. The driver's time-outs end it; the wait's own bound only guards
// against a driver that ignores them (wine's, on a port without a UART).
template <typename Start>
std::size_t Overlapped(HANDLE port, OVERLAPPED& record, std::size_t count, Start start) {
    ResetEvent(record.hEvent);
    DWORD moved = 0;
    if (start(&moved, &record)) {
        return moved;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        return 0;
    }
    const DWORD bound = kTimeoutBaseMs + kTimeoutPerByteMs * static_cast<DWORD>(count) + kGraceMs;
    if (WaitForSingleObject(record.hEvent, bound) != WAIT_OBJECT_0) {
        CancelIoEx(port, &record);
    }
    GetOverlappedResult(port, &record, &moved, TRUE);
    return moved;
}

}  // namespace

ComPort::ComPort(PortTableConfig ports)
    : ports_(std::move(ports)), native_(std::make_unique<Native>()) {}

ComPort::~ComPort() {
    ClosePort();
}

int ComPort::OpenNative(const std::string& path, std::uint32_t baud) {
    if (path.empty()) {
        return ERROR_FILE_NOT_FOUND;
    }
    // No "insert a disk" boxes from the system for a port that vanished.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    Native& native = *native_;
    native.port = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (native.port == INVALID_HANDLE_VALUE) {
        return static_cast<int>(LastFailure());
    }
    DWORD error = 0;
    if (!Configure(native.port, baud)) {
        error = LastFailure();
    }
    for (HANDLE* event :
         {&native.read.hEvent, &native.write.hEvent, &native.wait.hEvent, &native.stop}) {
        if (error == 0 && (*event = CreateEventW(nullptr, TRUE, FALSE, nullptr)) == nullptr) {
            error = LastFailure();
        }
    }
    if (error == 0) {
        MarkOpened();
        try {
            native.reader = std::thread([this] { ReaderLoop(); });
        } catch (const std::system_error&) {
            open_ = false;
            error = ERROR_NOT_ENOUGH_MEMORY;
        }
    }
    if (error != 0) {
        native.CloseHandles();
    }
    return static_cast<int>(error);
}

void ComPort::CloseNative() {
    // The reader stops only between its waits, never inside the handler or
    // while it holds the port lock; the handles are closed after it ended.
    SetEvent(native_->stop);
    if (native_->reader.joinable()) {
        native_->reader.join();
    }
    std::lock_guard<std::mutex> guard(portLock_);
    open_ = false;
    native_->CloseHandles();
}

void ComPort::ReaderLoop() {
    Native& native = *native_;
    for (;;) {
        ResetEvent(native.wait.hEvent);
        DWORD events = 0;
        bool waited = WaitCommEvent(native.port, &events, &native.wait);
        if (!waited && GetLastError() == ERROR_IO_PENDING) {
            const HANDLE wakers[2] = {native.stop, native.wait.hEvent};
            if (WaitForMultipleObjects(2, wakers, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
                // A new event mask ends a pending wait, as the system
                // documents; wine honours that where it ignores a cancel.
                SetCommMask(native.port, 0);
                CancelIoEx(native.port, &native.wait);
                DWORD ignored = 0;
                GetOverlappedResult(native.port, &native.wait, &ignored, TRUE);
                return;
            }
            DWORD ignored = 0;
            waited = GetOverlappedResult(native.port, &native.wait, &ignored, FALSE);
        }
        // The queue is read after every wait, ended or failed: what came in
        // meanwhile is not left waiting for the next byte.
        DWORD errors = 0;
        COMSTAT status{};
        if (!ClearCommError(native.port, &errors, &status)) {
            break;
        }
        if (status.cbInQue > 0) {
            OnDataReceived(status.cbInQue);
            continue;
        }
        // A wait that fails on a port that still answers (wine cannot wait
        // on a pseudo-terminal that has no modem lines) is tried again after
        // a short pause, which also ends at once on the stop request.
        if (!waited && WaitForSingleObject(native.stop, kFailedWaitPauseMs) == WAIT_OBJECT_0) {
            return;
        }
    }
    // The device is gone: wait only for ClosePort.
    vanished_ = true;
    OnVanished();
    WaitForSingleObject(native.stop, INFINITE);
}

std::size_t ComPort::ReadNative(std::uint8_t* buffer, std::size_t count) {
    std::lock_guard<std::mutex> guard(portLock_);
    if (!IsOpen()) {
        return 0;
    }
    const HANDLE port = native_->port;
    return Overlapped(port, native_->read, count, [&](DWORD* moved, OVERLAPPED* record) {
        return ReadFile(port, buffer, static_cast<DWORD>(count), moved, record);
    });
}

std::size_t ComPort::WriteNative(const std::uint8_t* buffer, std::size_t count) {
    std::lock_guard<std::mutex> guard(portLock_);
    if (!IsOpen()) {
        return 0;
    }
    const HANDLE port = native_->port;
    return Overlapped(port, native_->write, count, [&](DWORD* moved, OVERLAPPED* record) {
        return WriteFile(port, buffer, static_cast<DWORD>(count), moved, record);
    });
}
