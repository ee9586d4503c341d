#include "scan/crawl_frontier.h"

#include <utility>

#include "net/url.h"

namespace bcnk {

void CrawlFrontier::Seed(const Text& address) {
    keys_.emplace(DuplicateKey(address), false);
    queue_.push_back(QueuedPage{address, 0, Text()});
}

QueueOutcome CrawlFrontier::Add(const Text& address, int depth, const Text& linkedFrom) {
    const QueueOutcome outcome = Register(address);
    if (outcome == QueueOutcome::Queued) {
        queue_.push_back(QueuedPage{address, depth, linkedFrom});
    }
    return outcome;
}

QueueOutcome CrawlFrontier::AddNext(QueuedPage page) {
    const QueueOutcome outcome = Register(page.address);
    if (outcome == QueueOutcome::Queued) {
        queue_.push_front(std::move(page));
    }
    return outcome;
}

QueueOutcome CrawlFrontier::Register(const Text& address) {
    Text key = DuplicateKey(address);
    if (keys_.count(key) != 0) {
        return QueueOutcome::AlreadyKnown;
    }
    if (keys_.size() >= keyCap_) {
        return QueueOutcome::Full;
    }
    keys_.emplace(std::move(key), false);
    return QueueOutcome::Queued;
}

QueuedPage CrawlFrontier::Take() {
    QueuedPage page = std::move(queue_.front());
    queue_.pop_front();
    DropArrivedFront();
    return page;
}

std::vector<Text> CrawlFrontier::Upcoming(int count) const {
    std::vector<Text> addresses;
    for (auto page = queue_.begin();
         page != queue_.end() && static_cast<int>(addresses.size()) < count; ++page) {
        // Take passes over addresses that a redirect already reached.
        if (redirectArrivals_ > 0) {
            const auto entry = keys_.find(DuplicateKey(page->address));
            if (entry != keys_.end() && entry->second) {
                continue;
            }
        }
        addresses.push_back(page->address);
    }
    return addresses;
}

bool CrawlFrontier::Arrive(const Text& requested, const Text& arrived) {
    const Text requestedKey = DuplicateKey(requested);
    Text arrivedKey = DuplicateKey(arrived);
    keys_[requestedKey] = true;
    if (arrivedKey == requestedKey) {
        return true;
    }
    const auto [entry, added] = keys_.try_emplace(std::move(arrivedKey), true);
    if (!added) {
        if (entry->second) {
            return false;
        }
        entry->second = true;
    }
    ++redirectArrivals_;
    DropArrivedFront();
    return true;
}

void CrawlFrontier::DropArrivedFront() {
    while (redirectArrivals_ > 0 && !queue_.empty()) {
        const auto entry = keys_.find(DuplicateKey(queue_.front().address));
        if (entry == keys_.end() || !entry->second) {
            return;
        }
        queue_.pop_front();
    }
}

}  // namespace bcnk
