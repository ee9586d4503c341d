#pragma once
// The user settings (debug log on/off, crawler User-Agent, whether our crawl obeys the site's
// robots.txt) kept in bcnk.ini beside the executable, and the executable's own directory.
#include "common/text.h"

namespace bcnk {

// "TalvennsBeaconsmith/1.0 (+<home page>)": sent when no other User-Agent is configured.
Text DefaultUserAgent();

// Directory of the running executable without a trailing separator; "." when unknown.
Text ModuleDirectory();

// The part of a file path before its last separator; "." when there is none.
Text DirectoryOf(const Text& filePath);

// ModuleDirectory() + separator + "bcnk.ini".
Text SettingsPath();

class SettingsStore {
  public:
    // Read once at start-up; a missing file, section or key gives the defaults.
    static void Load();
    // Writes every key into section "settings"; failures are ignored.
    static void Save();

    // The same two against a chosen file instead of SettingsPath() (tests use this).
    static void LoadFrom(const Text& path);
    static void SaveTo(const Text& path);

    static inline bool debugLogEnabled = true;
    static inline Text userAgent = DefaultUserAgent();
    static inline bool respectRobots = true;

    // What AI crawlers actually get, checked after each scan.
    static inline bool agentCheck = true;  // ask the server as each AI crawler
    static inline int renderPages = 25;    // pages rendered with a browser; 0 turns it off
    // Links keep utm_source, gclid and the like, and such variants are crawled as pages.
    static inline bool keepQueryTracking = false;
};

}  // namespace bcnk
