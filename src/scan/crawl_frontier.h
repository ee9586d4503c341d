#pragma once
// The crawl's to-do list: addresses waiting to be fetched, in breadth-first order, and the
// keys of every address ever queued. The number of keys is capped so that a site with an
// endless link space (calendars, faceted search) cannot grow the crawl's memory without
// bound.
#include <cstddef>
#include <deque>
#include <unordered_set>
#include <vector>

#include "common/text.h"

namespace bcnk {

struct QueuedPage {
    Text address;  // as the link resolved; becomes the page's url
    int depth = 0;
};

enum class QueueOutcome {
    Queued,
    AlreadyKnown,  // an address with the same duplicate key was queued before
    Full,          // the key cap is reached: no further address is accepted
};

class CrawlFrontier {
  public:
    explicit CrawlFrontier(std::size_t keyCap) : keyCap_(keyCap) {}

    // The start address goes in whatever the cap.
    void Seed(const Text& address);

    // Known addresses are refused before the cap is looked at, so a full frontier still
    // tells a repeat from a new address.
    QueueOutcome Add(const Text& address, int depth);

    bool Empty() const { return queue_.empty(); }
    // Front of the queue; only when not Empty().
    QueuedPage Take();
    // The addresses Take will give next, at most `count` of them, front first.
    std::vector<Text> Upcoming(int count) const;

  private:
    std::size_t keyCap_;
    std::deque<QueuedPage> queue_;
    std::unordered_set<Text> keys_;
};

}  // namespace bcnk
