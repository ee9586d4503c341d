#include "scan/crawl_frontier.h"

#include <utility>

#include "scan/url.h"

namespace bcnk {

void CrawlFrontier::Seed(const Text& address) {
    keys_.insert(DuplicateKey(address));
    queue_.push_back(QueuedPage{address, 0});
}

QueueOutcome CrawlFrontier::Add(const Text& address, int depth) {
    Text key = DuplicateKey(address);
    if (keys_.count(key) != 0) {
        return QueueOutcome::AlreadyKnown;
    }
    if (keys_.size() >= keyCap_) {
        return QueueOutcome::Full;
    }
    keys_.insert(std::move(key));
    queue_.push_back(QueuedPage{address, depth});
    return QueueOutcome::Queued;
}

QueuedPage CrawlFrontier::Take() {
    QueuedPage page = std::move(queue_.front());
    queue_.pop_front();
    return page;
}

std::vector<Text> CrawlFrontier::Upcoming(int count) const {
    std::vector<Text> addresses;
    for (auto page = queue_.begin();
         page != queue_.end() && static_cast<int>(addresses.size()) < count; ++page) {
        addresses.push_back(page->address);
    }
    return addresses;
}

}  // namespace bcnk
