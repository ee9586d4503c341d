#pragma once
// The Markdown twins of a scan's pages, kept on disk rather than in memory: a site of
// 100,000 pages has hundreds of megabytes of them, and only the package needs them, once.
// Pages remember where their twin lies (PageRecord::markdownAt, markdownBytes).
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "common/temp_file.h"
#include "scan/scan_types.h"

namespace bcnk {

// A twin larger than this is not kept (a page of that much text is a data dump, not a page
// anyone reads whole), and the spool stops taking twins at kMaxSpoolBytes.
inline constexpr std::uint32_t kMaxTwinBytes = 4u << 20;
inline constexpr std::uint64_t kMaxSpoolBytes = std::uint64_t{4} << 30;

class MarkdownSpool {
public:
    // False when no temporary file could be made: the scan then has no twins.
    bool Usable() const { return file_.Open(); }

    // Appends the page's twin and notes where it lies in `page`; false (and `page` left
    // without a twin) when it is too large or the disk refuses.
    bool Store(std::string_view markdown, PageRecord& page);

    // The page's twin; empty when it has none.
    std::string Twin(const PageRecord& page) const;
    // The twin stored at `at`; empty when there is none.
    std::string Read(std::uint64_t at, std::uint32_t bytes) const;

    std::uint64_t Bytes() const;

private:
    mutable std::mutex mutex_;
    TempFile file_;
    std::uint64_t bytes_ = 0;
};

// The twin of a page of `scan`, empty when the scan spooled none for it.
std::string PageTwin(const ScanResult& scan, const PageRecord& page);

}  // namespace bcnk
