#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>

#include "base/language.h"
#include "serial/port_doctor.h"
#include "support/temp_dir.h"

namespace {

constexpr uid_t kNobody = 65534;

// A pseudo-terminal whose slave side is the port under test.
class Pty {
  public:
    Pty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) {
            slave_ = ptsname(master_);
        }
    }
    ~Pty() {
        if (master_ >= 0) {
            close(master_);
        }
    }
    const std::string& Slave() const { return slave_; }

  private:
    int master_ = -1;
    std::string slave_;
};

std::string ReadAll(int fd) {
    std::string text;
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

std::string OwnCommandName() {
    std::ifstream file("/proc/self/comm");
    std::string name;
    std::getline(file, name);
    return name;
}

// A second process that holds `path` open the way the program does (exclusive,
// locked) until the object goes away.
class Holder {
  public:
    explicit Holder(const std::string& path) {
        int ready[2];
        if (pipe(ready) != 0 || pipe(release_) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
            close(ready[0]);
            close(release_[1]);
            const int fd = open(path.c_str(), O_RDWR | O_NOCTTY);
            const bool held = fd >= 0 && ioctl(fd, TIOCEXCL) == 0 && flock(fd, LOCK_EX) == 0;
            const char answer = held ? '1' : '0';
            (void)!write(ready[1], &answer, 1);
            char none = 0;
            (void)!read(release_[0], &none, 1);
            _exit(0);
        }
        close(ready[1]);
        close(release_[0]);
        char answer = '0';
        held_ = read(ready[0], &answer, 1) == 1 && answer == '1';
        close(ready[0]);
    }
    ~Holder() {
        close(release_[1]);
        if (pid_ > 0) {
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Held() const { return held_; }
    pid_t Pid() const { return pid_; }

  private:
    int release_[2] = {-1, -1};
    pid_t pid_ = -1;
    bool held_ = false;
};

class PortDiagnosisOnPty : public ::testing::Test {
  protected:
    PortDiagnosisOnPty() { SetUiLanguage(Language::English); }
    void SetUp() override { ASSERT_FALSE(pty.Slave().empty()); }
    ~PortDiagnosisOnPty() override { SetUiLanguage(Language::Russian); }

    // A port folder entry COM5 leading to the pty, as a plugged-in device.
    std::string PlugIn() {
        const std::string link = folder.Path() + "/COM5";
        std::filesystem::create_symlink(pty.Slave(), link);
        return link;
    }

    Pty pty;
    TempDir folder;
};

TEST_F(PortDiagnosisOnPty, APortHeldBySecondProcessIsBusyAndNamesThatProcess) {
    const std::string link = PlugIn();
    Holder holder(pty.Slave());
    ASSERT_TRUE(holder.Held());

    const int error = ProbePortOpen(link);
    const PortDiagnosis diagnosis =
        DiagnoseOpenError(link, error, SystemRoots{}, UserIdentity::Current());
    EXPECT_EQ(diagnosis.problem, PortProblem::Busy) << error;
    EXPECT_EQ(diagnosis.devicePath, pty.Slave());
    const std::string named = OwnCommandName() + " (process " + std::to_string(holder.Pid()) + ")";
    EXPECT_NE(DiagnosisReason(diagnosis).find(" is busy: held by " + named), std::string::npos)
        << DiagnosisReason(diagnosis);
}

TEST_F(PortDiagnosisOnPty, DoctorSeesThePortFolderEntryAndWhetherItOpens) {
    PlugIn();
    DoctorInput input;
    input.ports.portDir = folder.Path();
    input.ports.systemPorts = false;
    input.user = UserIdentity::Current();
    {
        Holder holder(pty.Slave());
        ASSERT_TRUE(holder.Held());
        const DoctorReport busy = BuildDoctorReport(input);
        ASSERT_EQ(busy.ports.size(), 1u);
        EXPECT_EQ(busy.ports[0].entry.number, 5);
        EXPECT_FALSE(busy.SomePortOpens());
        ASSERT_FALSE(busy.ports[0].holders.holders.empty());
        EXPECT_EQ(busy.ports[0].holders.holders[0].pid, holder.Pid());
    }
    const DoctorReport free = BuildDoctorReport(input);
    EXPECT_TRUE(free.SomePortOpens()) << DoctorReportText(free);
}

// File permissions bind only an unprivileged user: as root the test drops to
// nobody in a child process and diagnoses from there.
TEST_F(PortDiagnosisOnPty, APortTheUserMayNotOpenNamesTheGroupAndTheFix) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to run the check as another, unprivileged user";
    }
    const group* dialout = getgrnam("dialout");
    if (dialout == nullptr) {
        GTEST_SKIP() << "this system has no dialout group";
    }
    ASSERT_EQ(chown(pty.Slave().c_str(), 0, dialout->gr_gid), 0);
    ASSERT_EQ(chmod(pty.Slave().c_str(), 0660), 0);
    // The port folder itself stays open to the user: only the device refuses.
    ASSERT_EQ(chmod(folder.Path().c_str(), 0755), 0);
    const std::string link = PlugIn();

    int output[2];
    ASSERT_EQ(pipe(output), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(output[0]);
        const bool dropped = setgroups(0, nullptr) == 0 &&
                             setresgid(kNobody, kNobody, kNobody) == 0 &&
                             setresuid(kNobody, kNobody, kNobody) == 0;
        const std::string text =
            dropped ? PortOpenFailureText(link, ProbePortOpen(link)) : "cannot drop privileges";
        (void)!write(output[1], text.data(), text.size());
        _exit(0);
    }
    close(output[1]);
    const std::string text = ReadAll(output[0]);
    close(output[0]);
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    if (text == "cannot drop privileges") {
        GTEST_SKIP() << "this system does not let the test become an unprivileged user";
    }
    EXPECT_NE(text.find("No permission to open " + pty.Slave() + ": it belongs to group dialout"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("is not in that group; sudo usermod -aG dialout $USER, then log in again"),
              std::string::npos)
        << text;
}

}  // namespace
