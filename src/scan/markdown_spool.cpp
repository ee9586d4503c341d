#include "scan/markdown_spool.h"

namespace bcnk {

bool MarkdownSpool::Store(std::string_view markdown, PageRecord& page) {
    page.markdownAt = 0;
    page.markdownBytes = 0;
    if (markdown.empty() || markdown.size() > kMaxTwinBytes) {
        return false;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    if (bytes_ + markdown.size() > kMaxSpoolBytes) {
        return false;
    }
    std::uint64_t at = 0;
    if (!file_.Append(markdown, at)) {
        return false;
    }
    bytes_ += markdown.size();
    page.markdownAt = at;
    page.markdownBytes = static_cast<std::uint32_t>(markdown.size());
    return true;
}

std::string MarkdownSpool::Twin(const PageRecord& page) const {
    return Read(page.markdownAt, page.markdownBytes);
}

std::string MarkdownSpool::Read(std::uint64_t at, std::uint32_t size) const {
    std::string bytes;
    if (size == 0) {
        return bytes;
    }
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!file_.Read(at, size, bytes)) {
        bytes.clear();
    }
    return bytes;
}

std::uint64_t MarkdownSpool::Bytes() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return bytes_;
}

std::string PageTwin(const ScanResult& scan, const PageRecord& page) {
    return scan.markdown ? scan.markdown->Twin(page) : std::string();
}

}  // namespace bcnk
