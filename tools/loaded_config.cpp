#include "loaded_config.h"

#include "ini.h"
#include "ini_model.h"

namespace kestrum_check {

namespace {

// The reader's index, walked read-only between the load and the close.
std::vector<IndexedHeading> CopyIndex(const IniFile& ini) {
    std::vector<IndexedHeading> headings;
    for (const Heading* h = ini.firstHeading; h != nullptr; h = h->next) {
        IndexedHeading heading{h->name, {}};
        for (const Key* k = h->firstKey; k != nullptr; k = k->next) {
            heading.keys.push_back({k->name, k->valueStart, k->valueLength});
        }
        headings.push_back(std::move(heading));
    }
    return headings;
}

}  // namespace

std::optional<LoadedConfig> LoadConfig(const std::string& path, const std::string& gameDirName) {
    IniFile* ini = OpenIni(path.c_str());
    if (ini == nullptr) {
        return std::nullopt;
    }
    LoadedConfig config;
    config.baseHeading = BaseHeading(gameDirName.c_str());
    config.primaryHeading = config.baseHeading + kPrimarySuffix;
    config.secondaryHeading = config.baseHeading + kSecondarySuffix;

    const ConfigTargets targets{&config.ammoIdIsFlag, &config.allWeaponsClipless,
                                config.primary.data(), config.secondary.data()};
    ReadConfigurationTables(ini, config.baseHeading.c_str(), targets);

    config.baseFound = SelectHeading(ini, config.baseHeading.c_str()) == 0;
    config.primaryFound = SelectHeading(ini, config.primaryHeading.c_str()) == 0;
    config.secondaryFound = SelectHeading(ini, config.secondaryHeading.c_str()) == 0;
    config.headings = CopyIndex(*ini);
    CloseIni(ini);
    return config;
}

}  // namespace kestrum_check
