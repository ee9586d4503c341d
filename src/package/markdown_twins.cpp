#include "package/markdown_twins.h"

#include <algorithm>
#include <array>
#include <string>
#include <unordered_set>

#include "common/file_system.h"
#include "net/url.h"

namespace bcnk {

namespace {

constexpr char16_t kTwinSuffix[] = u".md";
constexpr char16_t kFolderTwin[] = u"index.html.md";
// Windows refuses longer paths unless they are written in a form few tools use; the package
// folder's own path comes before this.
constexpr size_t kMaxTwinNameLength = 180;

int HexValue(char16_t unit) {
    if (unit >= u'0' && unit <= u'9') return unit - u'0';
    if (unit >= u'a' && unit <= u'f') return unit - u'a' + 10;
    if (unit >= u'A' && unit <= u'F') return unit - u'A' + 10;
    return -1;
}

// The path as the server's file system names it: "%20" is a space, "%C3%A9" an é.
bool DecodePath(const Text& path, Text& decoded) {
    std::string bytes;
    for (size_t at = 0; at < path.size(); ++at) {
        if (path[at] == u'%' && at + 2 < path.size() && HexValue(path[at + 1]) >= 0 &&
            HexValue(path[at + 2]) >= 0) {
            const char byte = static_cast<char>(HexValue(path[at + 1]) * 16 + HexValue(path[at + 2]));
            // An escaped separator or NUL names no file a server would map the address to.
            if (byte == '/' || byte == '\\' || byte == '\0') {
                return false;
            }
            bytes += byte;
            at += 2;
        } else {
            bytes += WideToUtf8(Text(1, path[at]));
        }
    }
    decoded = Utf8ToWide(bytes);
    return decoded.find(u'\uFFFD') == Text::npos;
}

// One folder or file name that every system can hold as it is.
bool IsSafeSegment(const Text& segment) {
    if (segment.empty() || segment == u"." || segment == u".." || segment.back() == u'.' ||
        segment.back() == u' ' || IsWindowsDeviceName(segment)) {
        return false;
    }
    return std::none_of(segment.begin(), segment.end(), [](char16_t unit) {
        return unit < 0x20 || unit == 0x7F || Text(u"\\:*?\"<>|").find(unit) != Text::npos;
    });
}

// "guides/vat.html.md" for "/guides/vat.html"; empty when it cannot be a file.
Text TwinRelativePath(const Text& path) {
    Text decoded;
    if (path.empty() || path[0] != u'/' || !DecodePath(path, decoded)) {
        return Text();
    }
    Text relative = decoded.substr(1);
    relative += relative.empty() || relative.back() == u'/' ? Text(kFolderTwin) : Text(kTwinSuffix);
    size_t start = 0;
    while (start <= relative.size()) {
        const size_t slash = std::min(relative.find(u'/', start), relative.size());
        if (!IsSafeSegment(relative.substr(start, slash - start))) {
            return Text();
        }
        start = slash + 1;
    }
    return relative.size() <= kMaxTwinNameLength ? relative : Text();
}

}  // namespace

Text TwinAddress(const Text& pageAddress) {
    const UrlParts parts = ParseUrl(pageAddress);
    if (!parts.valid || parts.path.find_first_of(u"?#") != Text::npos ||
        TwinRelativePath(parts.path).empty()) {
        return Text();
    }
    Text address = OriginOf(pageAddress) + parts.path;
    address += address.back() == u'/' ? Text(kFolderTwin) : Text(kTwinSuffix);
    return address;
}

std::vector<MarkdownTwin> PlanMarkdownTwins(const ScanResult& scan) {
    std::vector<MarkdownTwin> twins;
    std::unordered_set<Text> taken;
    for (const PageRecord& page : scan.pages) {
        if (page.markdownBytes == 0) {
            continue;
        }
        const Text address = TwinAddress(page.url);
        if (address.empty()) {
            continue;
        }
        Text fileName = kTwinFolder;
        fileName += u'/';
        fileName += TwinRelativePath(ParseUrl(page.url).path);
        if (taken.insert(ToLower(fileName)).second) {
            twins.push_back(
                {page.url, std::move(fileName), address, page.markdownAt, page.markdownBytes});
        }
    }
    return twins;
}

TwinAddresses PublishedTwinAddresses(const ScanResult& scan) {
    TwinAddresses addresses;
    for (const MarkdownTwin& twin : PlanMarkdownTwins(scan)) {
        addresses.emplace(twin.pageAddress, twin.address);
    }
    return addresses;
}

}  // namespace bcnk
