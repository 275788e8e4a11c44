#include "fault_fixture.h"

#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

extern "C" int __lsan_do_recoverable_leak_check() __attribute__((weak));

namespace faults {

namespace fs = std::filesystem;

// Problems travel one per line.
std::string OneLine(std::string text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) {
        text.replace(at, 1, "\\n");
    }
    return text;
}

ScratchDir::ScratchDir() : previous_(fs::current_path().string()) {
    std::string pattern = (fs::temp_directory_path() / "faults-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
    chmod(path_.c_str(), 0755);
    fs::current_path(path_);
}

ScratchDir::~ScratchDir() {
    fs::current_path(previous_);
    std::error_code ignored;
    // A fault may have left a folder without write permission.
    for (const auto& entry : fs::recursive_directory_iterator(path_, ignored)) {
        if (entry.is_directory(ignored)) chmod(entry.path().c_str(), 0755);
    }
    fs::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool EntryExists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

Server::Server(const std::string& pluginPath, Problems& problems)
    : host_(std::make_unique<hostsim::Host>()), problems_(problems) {
    if (host_->load(pluginPath) < 0) {
        problems_.push_back("the plug-in was not loaded");
        return;
    }
    host_->setCvar("kestrum_debug", "1");
    StartMap(true, "first map");
    player_ = host_->connect("player");
    if (player_ < 1) problems_.push_back("no player slot");
}

void Server::StartMap(bool loads, const std::string& when) {
    host_->clearRecords();
    host_->mapStart("crossfire");
    std::string console;
    for (const std::string& line : host_->console()) console += line;
    const std::string expected = std::string(kLoadingLine) + (loads ? "Successed!\n" : "Failed!\n");
    if (console != expected) problems_.push_back(when + ": console \"" + OneLine(console) + "\", not \"" + OneLine(expected) + "\"");
    CheckHooks(when);
}

void Server::CheckShot(bool loaded, const std::string& when) {
    using hostsim::MsgField;
    entvars_t& pev = host_->edict(player_)->v;
    pev.velocity = {0.0f, 0.0f, 0.0f};
    pev.v_angle = {0.0f, 0.0f, 0.0f};
    pev.punchangle = {0.0f, 0.0f, 0.0f};
    host_->clearRecords();
    for (int clip : {10, 9}) {
        host_->sendMessage(MSG_ONE, "CurWeapon", player_,
                           {MsgField::Byte(1), MsgField::Byte(7), MsgField::Byte(clip)});
    }
    const float expected = loaded ? -4.0f : 0.0f;
    if (pev.velocity.x != expected || pev.velocity.y != 0.0f || pev.velocity.z != 0.0f) {
        problems_.push_back(when + ": velocity x " + std::to_string(pev.velocity.x) + ", expected " +
                            std::to_string(expected));
    }
    std::string console;
    for (const std::string& line : host_->console()) console += line;
    if (console.find("] Id:7 Clip:9 ") == std::string::npos) {
        problems_.push_back(when + ": the shot was not captured: \"" + OneLine(console) + "\"");
    }
    CheckHooks(when);
}

void Server::CheckNoWorkingCopy(const std::string& when) {
    if (EntryExists(kWorkingCopy)) problems_.push_back(when + ": the working copy was left behind");
}

void Server::CheckHooks(const std::string& when) {
    for (const std::string& line : host_->unsetResults()) problems_.push_back(when + ": " + line);
    for (const std::string& call : host_->unexpectedCalls()) problems_.push_back(when + ": unexpected " + call);
}

Problems RunUnprivileged(void (*run)(Problems&)) {
    int channel[2];
    if (pipe(channel) != 0) return {"no pipe"};
    const pid_t child = fork();
    if (child < 0) return {"no child process"};
    if (child == 0) {
        close(channel[0]);
        Problems problems;
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) {
            problems.push_back(std::string("cannot become nobody: ") + std::strerror(errno));
        } else {
            run(problems);
            if (__lsan_do_recoverable_leak_check != nullptr && __lsan_do_recoverable_leak_check() != 0) {
                problems.push_back("memory leaked (see the leak report above)");
            }
        }
        std::string report;
        for (const std::string& p : problems) report += p + "\n";
        const char* at = report.data();
        size_t left = report.size();
        while (left > 0) {
            const ssize_t written = write(channel[1], at, left);
            if (written <= 0) break;
            at += written;
            left -= static_cast<size_t>(written);
        }
        _exit(problems.empty() ? 0 : 1);
    }
    close(channel[1]);
    std::string report;
    char buffer[4096];
    ssize_t got;
    while ((got = read(channel[0], buffer, sizeof buffer)) > 0) report.append(buffer, static_cast<size_t>(got));
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    Problems problems;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) problems.push_back(line);
    if (!WIFEXITED(status)) {
        problems.push_back("the child process died");
    } else if (WEXITSTATUS(status) != 0 && problems.empty()) {
        problems.push_back("the child process failed with exit code " + std::to_string(WEXITSTATUS(status)));
    }
    return problems;
}

}  // namespace faults
