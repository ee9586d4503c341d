#include "app/layout.h"

#include <algorithm>

namespace bcnk {
namespace {

Rect FromCorners(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

}  // namespace

int Scale(int value, int dpi) {
    const long long product = static_cast<long long>(value) * dpi;
    const long long half = product >= 0 ? 48 : -48;
    return static_cast<int>((product + half) / 96);
}

MainLayout ComputeMainLayout(int width, int height, int dpi) {
    const int margin = Scale(14, dpi);
    const int gap = Scale(8, dpi);
    const int row = Scale(28, dpi);
    const int scanWidth = Scale(90, dpi);
    const int depthWidth = Scale(100, dpi);
    const int delayWidth = Scale(112, dpi);
    const int limitWidth = Scale(132, dpi);
    const int statusReserve = Scale(26, dpi);

    MainLayout layout;
    const int addressWidth =
        width - 4 * gap - 2 * margin - limitWidth - delayWidth - depthWidth - scanWidth;
    layout.address = {margin, margin, addressWidth, row};
    layout.scan = {margin + addressWidth + gap, margin, scanWidth, row};
    layout.depth = {margin + addressWidth + gap + gap + scanWidth, margin, depthWidth,
                    Scale(220, dpi)};
    layout.delay = {width - limitWidth - delayWidth - margin - gap, margin, delayWidth,
                    Scale(220, dpi)};
    layout.pageLimit = {width - limitWidth - margin, margin, limitWidth, Scale(260, dpi)};
    layout.scanProgress = {margin, row + Scale(4, dpi) + margin, width - 2 * margin, Scale(6, dpi)};
    layout.tabs = {margin, row + 2 * margin, width - 2 * margin,
                   height - (row + 2 * margin) - margin - statusReserve};
    return layout;
}

TabViewsLayout ComputeTabViews(int left, int top, int right, int bottom, int dpi) {
    const int inset = Scale(8, dpi);
    const int innerWidth = right - Scale(16, dpi) - left;
    const int innerHeight = bottom - (Scale(16, dpi) + top);
    const int gaugeWidth = Scale(240, dpi);

    TabViewsLayout layout;
    layout.statusList = {left + inset, top + inset, innerWidth - gaugeWidth - Scale(12, dpi),
                         innerHeight};
    layout.gauge = {left + inset + (innerWidth - gaugeWidth), top + inset, gaugeWidth, innerHeight};
    layout.pageList = {left + inset, top + inset, innerWidth, innerHeight};
    layout.generatePanel = FromCorners(left, top, right, bottom);
    layout.crawlerList = layout.pageList;
    layout.sitemapList = layout.pageList;
    return layout;
}

GeneratePanelLayout ComputeGeneratePanel(int panelWidth, int dpi) {
    const int margin = Scale(12, dpi);
    const int labelColumn = Scale(120, dpi);
    const int fieldX = margin + labelColumn;
    const int fieldWidth = panelWidth - (margin + margin + labelColumn);
    const int rowHeight = Scale(28, dpi);
    const int labelWidth = labelColumn - Scale(8, dpi);
    const int labelHeight = Scale(20, dpi);
    // Two rows fewer pixels apart than the first form's, so the Markdown row fits where the
    // form ended before.
    const int rowStep = Scale(34, dpi);
    const int checkHeight = Scale(22, dpi);
    const int checkStep = Scale(26, dpi);

    const auto label = [&](int rowTop) {
        return Rect{margin, rowTop + Scale(4, dpi), labelWidth, labelHeight};
    };
    const auto field = [&](int rowTop) { return Rect{fieldX, rowTop, fieldWidth, rowHeight}; };

    GeneratePanelLayout layout;
    const int nameTop = margin;
    const int descriptionTop = rowStep + margin;
    const int emailTop = descriptionTop + rowStep;
    const int industryTop = emailTop + rowStep;
    const int foundedTop = industryTop + rowStep;
    layout.nameLabel = label(nameTop);
    layout.name = field(nameTop);
    layout.descriptionLabel = label(descriptionTop);
    layout.description = field(descriptionTop);
    layout.emailLabel = label(emailTop);
    layout.email = field(emailTop);
    layout.industryLabel = label(industryTop);
    layout.industry = {fieldX, industryTop, fieldWidth, Scale(220, dpi)};
    layout.foundedLabel = label(foundedTop);
    layout.founded = {fieldX, foundedTop, Scale(120, dpi), rowHeight};
    const int tdmLabelX = fieldX + Scale(132, dpi);
    const int tdmLabelWidth = Scale(128, dpi);
    const int tdmX = tdmLabelX + tdmLabelWidth + Scale(8, dpi);
    layout.tdmPolicyLabel = {tdmLabelX, foundedTop + Scale(4, dpi), tdmLabelWidth, labelHeight};
    layout.tdmPolicy = {tdmX, foundedTop, std::max(0, fieldX + fieldWidth - tdmX), rowHeight};

    const int trainingTop = foundedTop + Scale(38, dpi);
    layout.training = {fieldX, trainingTop, fieldWidth, checkHeight};
    layout.citation = {fieldX, trainingTop + checkStep, fieldWidth, checkHeight};
    layout.summarisation = {fieldX, trainingTop + 2 * checkStep, fieldWidth, checkHeight};
    layout.robots = {fieldX, trainingTop + 3 * checkStep, fieldWidth, checkHeight};
    layout.contentUsage = {fieldX, trainingTop + 4 * checkStep, fieldWidth, checkHeight};
    const int markdownTop = trainingTop + 5 * checkStep;
    const int markdownWidth = Scale(250, dpi);
    layout.publishMarkdown = {fieldX, markdownTop, markdownWidth, checkHeight};
    const int sizeLabelX = fieldX + markdownWidth + Scale(12, dpi);
    const int sizeLabelWidth = Scale(140, dpi);
    layout.fullTextLabel = {sizeLabelX, markdownTop + Scale(2, dpi), sizeLabelWidth, labelHeight};
    layout.fullText = {sizeLabelX + sizeLabelWidth + Scale(8, dpi), markdownTop - Scale(1, dpi),
                       Scale(80, dpi), Scale(24, dpi)};

    const int generateTop = markdownTop + Scale(34, dpi);
    layout.generate = {fieldX, generateTop, fieldWidth, Scale(34, dpi)};
    const int progressTop = generateTop + Scale(40, dpi);
    layout.progress = {fieldX, progressTop, fieldWidth, Scale(12, dpi)};
    const int resultTop = progressTop + Scale(18, dpi);
    layout.result = {fieldX, resultTop, fieldWidth - Scale(120, dpi), rowHeight};
    const int openWidth = Scale(110, dpi);
    layout.openFolder = {panelWidth - margin - openWidth, resultTop, openWidth, rowHeight};
    layout.auditLink = {fieldX, resultTop + Scale(34, dpi), fieldWidth, Scale(20, dpi)};
    return layout;
}

SettingsLayout ComputeSettingsLayout(int ownerLeft, int ownerTop, int ownerRight, int ownerBottom,
                                     int dpi) {
    SettingsLayout layout;
    const int width = Scale(345, dpi);
    const int height = Scale(496, dpi);
    layout.window = {ownerLeft + (ownerRight - width - ownerLeft) / 2,
                     ownerTop + (ownerBottom - height - ownerTop) / 2, width, height};
    const auto scaled = [dpi](int x, int y, int w, int h) {
        return Rect{Scale(x, dpi), Scale(y, dpi), Scale(w, dpi), Scale(h, dpi)};
    };
    layout.logCheck = scaled(16, 16, 310, 22);
    layout.userAgentLabel = scaled(16, 52, 312, 18);
    layout.userAgent = scaled(16, 74, 312, 24);
    layout.robotsCheck = scaled(16, 108, 310, 22);
    layout.sitemapsCheck = scaled(16, 136, 310, 22);
    layout.trackingCheck = scaled(16, 164, 310, 22);
    layout.agentCheck = scaled(16, 192, 310, 22);
    layout.renderLabel = scaled(16, 226, 232, 18);
    layout.renderPages = scaled(250, 222, 78, 24);
    layout.includeLabel = scaled(16, 260, 312, 18);
    layout.include = scaled(16, 282, 312, 24);
    layout.excludeLabel = scaled(16, 316, 312, 18);
    layout.exclude = scaled(16, 338, 312, 24);
    layout.startFolderCheck = scaled(16, 372, 310, 22);
    layout.ok = scaled(150, 408, 80, 28);
    layout.cancel = scaled(240, 408, 80, 28);
    return layout;
}

GaugeLayout ComputeGaugeLayout(int clientWidth, int dpi) {
    GaugeLayout layout;
    layout.centerX = clientWidth / 2;
    layout.centerY = Scale(80, dpi);
    layout.radius = Scale(70, dpi);
    layout.penWidth = Scale(10, dpi);
    const int cx = layout.centerX;
    const int cy = layout.centerY;
    const int r = layout.radius;
    layout.percent = FromCorners(cx - r, cy - Scale(18, dpi), cx + r, cy + Scale(18, dpi));
    layout.rating = FromCorners(0, cy + r + Scale(12, dpi), clientWidth, cy + r + Scale(32, dpi));
    const int headingTop = cy + r + Scale(50, dpi);
    const int side = Scale(16, dpi);
    layout.heading = FromCorners(side, headingTop, clientWidth - side, headingTop + Scale(20, dpi));
    const int rowTop = headingTop + Scale(26, dpi);
    const int rowHeight = Scale(18, dpi);
    layout.firstRowLabel = FromCorners(side, rowTop, clientWidth / 2, rowTop + rowHeight);
    layout.firstRowCount =
        FromCorners(clientWidth / 2, rowTop, clientWidth - side, rowTop + rowHeight);
    layout.rowStep = Scale(22, dpi);
    return layout;
}

}  // namespace bcnk
