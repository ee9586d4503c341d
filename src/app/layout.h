#pragma once
// Where every control goes. Sizes are given for 96 DPI and each one is scaled on its own
// before any arithmetic, so the window keeps its proportions at every DPI.

namespace bcnk {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

// value × dpi / 96, rounded half away from zero as the platform's MulDiv does.
int Scale(int value, int dpi);

// The top row and the tab control, in the main window's client area of width × height.
struct MainLayout {
    Rect address;
    Rect scan;
    Rect depth;  // heights of the three lists are their opened heights
    Rect delay;
    Rect pageLimit;
    Rect scanProgress;
    Rect tabs;
};
MainLayout ComputeMainLayout(int width, int height, int dpi);

// The views inside the tab control's display area (left, top, right, bottom).
struct TabViewsLayout {
    Rect statusList;
    Rect gauge;
    Rect pageList;
    Rect generatePanel;
    Rect crawlerList;  // the AI Crawlers tab's list, where the page list sits on its own tab
    Rect sitemapList;  // the Sitemaps tab's list, in the same place
};
TabViewsLayout ComputeTabViews(int left, int top, int right, int bottom, int dpi);

// The Generate panel's children for a panel of the given client width.
struct GeneratePanelLayout {
    Rect nameLabel, name;
    Rect descriptionLabel, description;
    Rect emailLabel, email;
    Rect industryLabel, industry;
    Rect foundedLabel, founded;
    Rect tdmPolicyLabel, tdmPolicy;  // on the year's row, to its right
    Rect training, citation, summarisation, robots;
    Rect contentUsage;  // the Content-Usage line in robots.txt, under the robots rules
    // The Markdown twins and llms-full.txt's size, on one row under the robots.txt choices.
    Rect publishMarkdown, fullTextLabel, fullText;
    Rect generate;
    Rect progress;
    Rect result;
    Rect openFolder;
    Rect auditLink;
};
GeneratePanelLayout ComputeGeneratePanel(int panelWidth, int dpi);

// The Settings dialog: its outer size, centred over the owner's outer rectangle, and its
// seven controls.
struct SettingsLayout {
    Rect window;
    Rect logCheck;
    Rect userAgentLabel;
    Rect userAgent;
    Rect robotsCheck;
    Rect sitemapsCheck;
    Rect trackingCheck;
    Rect ok;
    Rect cancel;
    // What AI crawlers actually get.
    Rect agentCheck;
    Rect renderLabel;
    Rect renderPages;
    // Crawl scope, below the robots.txt check box.
    Rect includeLabel;
    Rect include;
    Rect excludeLabel;
    Rect exclude;
    Rect startFolderCheck;
};
SettingsLayout ComputeSettingsLayout(int ownerLeft, int ownerTop, int ownerRight, int ownerBottom,
                                     int dpi);

// The gauge's figures at a DPI, for a gauge of the given client width.
struct GaugeLayout {
    int centerX = 0;
    int centerY = 0;
    int radius = 0;
    int penWidth = 0;
    Rect percent;
    Rect rating;
    Rect heading;
    Rect firstRowLabel;  // later rows follow rowStep further down
    Rect firstRowCount;
    int rowStep = 0;
};
GaugeLayout ComputeGaugeLayout(int clientWidth, int dpi);

}  // namespace bcnk
