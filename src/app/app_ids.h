#pragma once
// Identifiers shared by the window code and the command logic: control and menu command
// numbers, and the three messages the workers post to the main window.

namespace bcnk {

// Main window children.
constexpr int kIdAddress = 1001;
constexpr int kIdScan = 1002;
constexpr int kIdDepth = 1003;
constexpr int kIdDelay = 1004;
constexpr int kIdPageLimit = 1005;
constexpr int kIdTabs = 1006;
constexpr int kIdStatusList = 1007;
constexpr int kIdPageList = 1008;
constexpr int kIdGauge = 1009;
constexpr int kIdGeneratePanel = 1010;
constexpr int kIdStatusBar = 1025;
constexpr int kIdCrawlerList = 1026;
constexpr int kIdSitemapList = 1027;

// Generate panel children.
constexpr int kIdName = 1011;
constexpr int kIdDescription = 1012;
constexpr int kIdEmail = 1013;
constexpr int kIdIndustry = 1014;
constexpr int kIdFounded = 1015;
constexpr int kIdAllowTraining = 1016;
constexpr int kIdAllowCitation = 1017;
constexpr int kIdAllowSummarisation = 1018;
constexpr int kIdRobotsRules = 1019;
constexpr int kIdGenerate = 1020;
constexpr int kIdGenerateProgress = 1021;
constexpr int kIdResult = 1022;
constexpr int kIdOpenFolder = 1023;
constexpr int kIdAuditLink = 1024;
constexpr int kIdTdmPolicy = 1027;
constexpr int kIdContentUsageInRobots = 1025;
constexpr int kIdPublishMarkdown = 1028;
constexpr int kIdFullTextMaxKib = 1029;

// The scan progress bar has no identifier of its own on screen; the logic names it by this.
constexpr int kIdScanProgress = 1100;

// Menu commands.
constexpr int kCmdNewScan = 2001;
constexpr int kCmdOpenOutput = 2002;
constexpr int kCmdSettings = 2003;
constexpr int kCmdExit = 2004;
constexpr int kCmdAbout = 2005;
constexpr int kCmdVisitHome = 2006;
constexpr int kCmdUserGuide = 2007;
constexpr int kCmdCheckUpdates = 2008;
constexpr int kCmdSaveReport = 2009;

// Settings dialog.
constexpr int kIdLogCheck = 3001;
constexpr int kIdUserAgentEdit = 3002;
constexpr int kIdSettingsOk = 3003;
constexpr int kIdSettingsCancel = 3004;
constexpr int kIdRespectRobotsCheck = 3005;
constexpr int kIdAgentCheck = 3006;
constexpr int kIdRenderPagesEdit = 3007;
constexpr int kIdKeepTrackingCheck = 3008;
constexpr int kIdUseSitemapsCheck = 3009;
// Crawl scope in the Settings dialog.
constexpr int kIdIncludePathsEdit = 3010;
constexpr int kIdExcludePathsEdit = 3011;
constexpr int kIdWithinStartFolderCheck = 3012;

// Posted by the workers; WM_APP is 0x8000 on every Windows version.
constexpr unsigned MSG_SCAN_PROGRESS = 0x8001;
constexpr unsigned MSG_SCAN_DONE = 0x8002;
constexpr unsigned MSG_PACKAGE_DONE = 0x8003;

}  // namespace bcnk
