#include "package/sitemap.h"

namespace bcnk {

Text MakeSitemap(const ScanResult& scan, bool aiVariant) {
    return MakeSitemap(scan, aiVariant, TodayDate());
}

Text MakeSitemap(const ScanResult&, bool, const Text&) { return Text(); }

Text SitemapDate(const Text&) { return Text(); }

}  // namespace bcnk
