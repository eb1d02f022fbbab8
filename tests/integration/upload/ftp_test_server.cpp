#include "ftp_test_server.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include "support/build_paths.h"

extern char** environ;

namespace {

constexpr const char* kPython = "/usr/bin/python3";
// Python's start and the key generation on a busy machine.
constexpr auto kStartBound = std::chrono::seconds(30);

// Reads one line from `fd`, waiting for it at most until `deadline`.
std::string ReadLine(int fd, std::chrono::steady_clock::time_point deadline) {
    std::string line;
    while (line.empty() || line.back() != '\n') {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd entry{fd, POLLIN, 0};
        if (left.count() <= 0 || poll(&entry, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        char character = 0;
        if (read(fd, &character, 1) != 1) {
            break;
        }
        line += character;
    }
    return line;
}

}  // namespace

FtpTestServer::FtpTestServer(Options options) : options_(std::move(options)) {
    Start();
}

void FtpTestServer::Start() {
    std::filesystem::create_directories(Home());
    const std::string script = build_paths::SourceDir() + "/tests/integration/upload/ftp_server.py";
    std::vector<std::string> arguments{kPython,        script,
                                       "--home",       Home(),
                                       "--transcript", folder_.Path() + "/transcript.txt",
                                       "--user",       options_.user,
                                       "--password",   options_.password,
                                       "--perm",       options_.permissions};
    if (options_.tls) {
        arguments.insert(arguments.end(), {"--tls-cert", CertificateFile()});
    }
    if (options_.tlsFirstConnectionOnly) {
        arguments.emplace_back("--tls-once");
    }
    std::vector<char*> argv;
    for (auto& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        error_ = "pipe failed";
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    const int spawned = posix_spawn(&pid_, kPython, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (spawned != 0) {
        pid_ = 0;
        error_ = "cannot start " + std::string(kPython);
        close(pipeFds[0]);
        return;
    }
    const std::string line = ReadLine(pipeFds[0], std::chrono::steady_clock::now() + kStartBound);
    close(pipeFds[0]);
    if (line.rfind("PORT ", 0) == 0) {
        port_ = std::stoi(line.substr(5));
    } else {
        error_ = "the FTP server did not start (is python3-pyftpdlib installed?)";
    }
}

FtpTestServer::~FtpTestServer() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

std::vector<std::string> FtpTestServer::Transcript() const {
    std::vector<std::string> lines;
    std::ifstream file(folder_.Path() + "/transcript.txt");
    for (std::string line; std::getline(file, line);) {
        lines.push_back(line);
    }
    return lines;
}
