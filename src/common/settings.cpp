#include "common/settings.h"

#include "common/file_system.h"
#include "common/ini_file.h"
#include "common/maker_info.h"

namespace bcnk {

namespace {

constexpr const char16_t* kSection = u"settings";
constexpr const char16_t* kDebugLogKey = u"debuglog";
constexpr const char16_t* kUserAgentKey = u"useragent";
constexpr const char16_t* kRespectRobotsKey = u"respectrobots";
constexpr const char16_t* kAgentCheckKey = u"agentcheck";
constexpr const char16_t* kRenderPagesKey = u"renderpages";
constexpr int kDefaultRenderSetting = 25;
constexpr int kMaxRenderSetting = 1000000;
constexpr const char16_t* kKeepQueryTrackingKey = u"keepquerytracking";

}  // namespace

Text DefaultUserAgent() {
    return Text(u"TalvennsBeaconsmith/1.0 (+") + kMakerHomePage + u")";
}

Text DirectoryOf(const Text& filePath) {
    const size_t cut = filePath.rfind(kPathSeparator);
    if (cut == Text::npos) {
        return u".";
    }
    // A file in the root directory: its directory is the root, not the empty string.
    if (cut == 0) {
        return Text(1, kPathSeparator);
    }
    return filePath.substr(0, cut);
}

Text SettingsPath() {
    return JoinPath(ModuleDirectory(), u"bcnk.ini");
}

void SettingsStore::Load() {
    LoadFrom(SettingsPath());
}

void SettingsStore::Save() {
    SaveTo(SettingsPath());
}

void SettingsStore::LoadFrom(const Text& path) {
    debugLogEnabled = ReadIniInteger(path, kSection, kDebugLogKey, 1) != 0;
    const Text agent = Trim(ReadIniText(path, kSection, kUserAgentKey, DefaultUserAgent()));
    userAgent = agent.empty() ? DefaultUserAgent() : agent;
    respectRobots = ReadIniInteger(path, kSection, kRespectRobotsKey, 1) != 0;
    agentCheck = ReadIniInteger(path, kSection, kAgentCheckKey, 1) != 0;
    const int render = ReadIniInteger(path, kSection, kRenderPagesKey, kDefaultRenderSetting);
    renderPages = render < 0 || render > kMaxRenderSetting ? kDefaultRenderSetting : render;
    keepQueryTracking = ReadIniInteger(path, kSection, kKeepQueryTrackingKey, 0) != 0;
}

void SettingsStore::SaveTo(const Text& path) {
    // A directory that cannot be written keeps the new values for this run only.
    WriteIniText(path, kSection, kDebugLogKey, debugLogEnabled ? u"1" : u"0");
    WriteIniText(path, kSection, kUserAgentKey, userAgent);
    WriteIniText(path, kSection, kRespectRobotsKey, respectRobots ? u"1" : u"0");
    WriteIniText(path, kSection, kAgentCheckKey, agentCheck ? u"1" : u"0");
    WriteIniText(path, kSection, kRenderPagesKey, NumberText(renderPages));
    WriteIniText(path, kSection, kKeepQueryTrackingKey, keepQueryTracking ? u"1" : u"0");
}

}  // namespace bcnk
