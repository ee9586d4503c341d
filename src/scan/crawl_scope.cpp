#include "scan/crawl_scope.h"

#include "scan/robots_rules.h"

namespace bcnk {

namespace {

std::vector<std::string> Patterns(const std::vector<Text>& given) {
    std::vector<std::string> patterns;
    for (const Text& pattern : given) {
        const Text trimmed = Trim(pattern);
        if (!trimmed.empty()) {
            // Written as a path: "docs/" means "/docs/".
            patterns.push_back(NormaliseRobotsPath(
                WideToUtf8(trimmed[0] == u'/' || trimmed[0] == u'*' ? trimmed : u"/" + trimmed)));
        }
    }
    return patterns;
}

bool AnyMatches(const std::string& path, const std::vector<std::string>& patterns) {
    for (const std::string& pattern : patterns) {
        if (RobotsPatternMatches(path, pattern)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::vector<Text> SplitPathList(const Text& typed) {
    std::vector<Text> patterns;
    Text current;
    for (const char16_t unit : typed + u" ") {
        if (unit == u',' || IsWhiteSpaceUnit(unit)) {
            if (!current.empty()) {
                patterns.push_back(current);
            }
            current.clear();
        } else {
            current += unit;
        }
    }
    return patterns;
}

CrawlScope::CrawlScope(const ScanOptions& options)
    : include_(Patterns(options.includePaths)),
      exclude_(Patterns(options.excludePaths)),
      withinStartFolder_(options.withinStartFolder) {}

void CrawlScope::SetStart(const Text& startAddress) {
    const std::string path = RobotsPathOf(startAddress);
    startFolder_ = path.substr(0, path.find('?'));
    startFolder_.erase(startFolder_.rfind('/') + 1);
}

bool CrawlScope::Contains(const Text& address) const {
    const std::string path = RobotsPathOf(address);
    if (withinStartFolder_ && path.compare(0, startFolder_.size(), startFolder_) != 0) {
        return false;
    }
    if (!include_.empty() && !AnyMatches(path, include_)) {
        return false;
    }
    return !AnyMatches(path, exclude_);
}

}  // namespace bcnk
