// The serial port itself over a pseudo-terminal: the peer writes runs of any
// bytes, the program writes runs of any bytes, and the port is now and then
// closed and opened again, in the order the input picks. Every byte arrives
// once, unchanged and in order, on both sides.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "fuzz_support.h"
#include "serial/com_port.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// Far beyond what a pseudo-terminal takes to pass a few hundred bytes, even on
// a busy machine; missing it means the bytes were lost.
constexpr auto kArrival = 3s;

class CollectingPort : public ComPort {
  public:
    CollectingPort() : ComPort(PortTableConfig{.portDir = {}, .systemPorts = false}) {}
    ~CollectingPort() override { ClosePort(); }

    void OnDataReceived(std::size_t count) override {
        Bytes buffer(count);
        buffer.resize(ReadBytes(buffer.data(), count));
        std::lock_guard<std::mutex> guard(lock_);
        received_.insert(received_.end(), buffer.begin(), buffer.end());
        arrived_.notify_all();
    }

    // Waits until `count` bytes came, then takes them all.
    Bytes Take(std::size_t count) {
        std::unique_lock<std::mutex> guard(lock_);
        arrived_.wait_for(guard, kArrival, [&] { return received_.size() >= count; });
        Bytes taken;
        taken.swap(received_);
        return taken;
    }

  private:
    std::mutex lock_;
    std::condition_variable arrived_;
    Bytes received_;
};

class Line {
  public:
    Line() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
            std::abort();
        }
        fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
        port_.SetDevicePath(ptsname(master_));
        port_.SetPortNumber(1);
        Reopen();
    }

    void Reopen() {
        const std::uint32_t opens = port_.OpenCount();
        FUZZ_CHECK(port_.OpenPort(ComPort::kDefaultBaud));
        FUZZ_CHECK(port_.OpenCount() == opens + 1 && !port_.DeviceVanished());
    }

    void PeerSends(const Bytes& bytes) {
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                AwaitMore(n, POLLOUT, "the peer's write");
            }
        }
        FUZZ_CHECK(port_.Take(bytes.size()) == bytes);
    }

    void ProgramSends(const Bytes& bytes) {
        FUZZ_CHECK(port_.WriteBytes(bytes.data(), bytes.size()) == bytes.size());
        Bytes got(bytes.size());
        for (std::size_t done = 0; done < got.size();) {
            const ssize_t n = read(master_, got.data() + done, got.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
            } else {
                AwaitMore(n, POLLIN, "the peer's read");
            }
        }
        FUZZ_CHECK(got == bytes);
    }

  private:
    // After a read or write of the master that moved nothing: waits until it
    // can move more. A stall says what the system answered, so that a rare
    // finding tells a full line from a closed one.
    void AwaitMore(ssize_t moved, short events, const char* what) const {
        const int error = errno;
        pollfd entry{master_, events, 0};
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(kArrival).count();
        const int ready = moved < 0 && error == EAGAIN ? poll(&entry, 1, static_cast<int>(ms)) : -1;
        if (ready != 1) {
            std::fprintf(stderr, "%s stalled: returned %zd, errno %d, poll %d, revents 0x%x\n",
                         what, moved, error, ready, static_cast<unsigned>(entry.revents));
            std::abort();
        }
    }

    int master_ = -1;
    CollectingPort port_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Line line;
    // Each step waits for a pseudo-terminal and a thread: a few dozen keep an
    // input far from the time limit on a busy machine.
    constexpr int kMostSteps = 32;
    FuzzedDataProvider input(data, size);
    for (int steps = 0; steps < kMostSteps && input.remaining_bytes() > 0; ++steps) {
        const int step = input.ConsumeIntegralInRange(0, 8);
        const Bytes bytes = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange(1, 300));
        if (step == 0) {
            line.Reopen();
        } else if (step % 2 == 0) {
            line.PeerSends(bytes);
        } else {
            line.ProgramSends(bytes);
        }
    }
    return 0;
}
