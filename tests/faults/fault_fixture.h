// The recoil plug-in in the simulated host, in a scratch working directory holding the game
// directory "valve" with a configuration that kicks weapon 7 by 4 per round. A fault run
// starts a map with the configuration intact, starts the next one under the fault and a
// third with the fault removed; Problems collects what went wrong, so that a run can also
// take place in a child process and report from there.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host.h"

namespace faults {

using Problems = std::vector<std::string>;

constexpr char kGameDir[] = "valve";
constexpr char kIni[] = "valve/kestrum_mm.ini";
constexpr char kWorkingCopy[] = "valve/kestrum_mm.in~";
constexpr char kIniText[] =
    "[standard(valve,gearbox,etc)]\nAmmoIdIsFlag=0\nAllWeaponsClipless=0\n"
    "[standard(valve,gearbox,etc)-AMMO1]\n7=4\n";
constexpr char kLoadingLine[] = "[Kestrum] Loading gunkestrum config from 'valve/kestrum_mm.ini' ... ";

// A fresh scratch directory (readable by everybody) made the working directory; the
// previous one is restored and the scratch removed on destruction.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string previous_;
    std::string path_;
};

void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);
bool EntryExists(const std::string& path);  // without following a symbolic link

// One plug-in in one host, with a connected player standing still and looking along +x.
class Server {
public:
    explicit Server(const std::string& pluginPath, Problems& problems);
    hostsim::Host& host() { return *host_; }
    bool loaded() const { return player_ > 0; }

    // Starts a map and checks its loading line ends in "Successed!" or "Failed!".
    void StartMap(bool loads, const std::string& when);
    // Fires one round of weapon 7 from a clip of 10 and checks the push along x: -4 when
    // the configuration is loaded, none otherwise. The capture must work either way: the
    // plug-in reports the weapon it saw.
    void CheckShot(bool loaded, const std::string& when);
    // No working copy is left beside the INI file.
    void CheckNoWorkingCopy(const std::string& when);
    // Every hook left its result and only simulated engine calls were made.
    void CheckHooks(const std::string& when);

private:
    std::unique_ptr<hostsim::Host> host_;
    Problems& problems_;
    int player_ = 0;
};

// Runs the function in a child process, as user and group nobody when started as root
// (whom permission bits do not stop); gives back what the child reported. A leak seen by
// the leak checker in the child counts as a problem.
Problems RunUnprivileged(void (*run)(Problems&));

}  // namespace faults
