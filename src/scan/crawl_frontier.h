#pragma once
// The crawl's to-do list: addresses waiting to be fetched, in breadth-first order, and the
// keys of every address ever queued. The number of keys is capped so that a site with an
// endless link space (calendars, faceted search) cannot grow the crawl's memory without
// bound.
#include <cstddef>
#include <deque>
#include <unordered_map>
#include <vector>

#include "common/text.h"

namespace bcnk {

struct QueuedPage {
    Text address;  // as the link resolved; becomes the page's url
    int depth = 0;
    Text linkedFrom;      // the page whose link queued it; empty for the start page
    int refreshHops = 0;  // <meta> refreshes followed to reach it, counted like redirects
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
    QueueOutcome Add(const Text& address, int depth, const Text& linkedFrom = Text());

    // Puts a page at the front of the queue, to be taken next: where a page's <meta> refresh
    // leads, followed at once like a redirect.
    QueueOutcome AddNext(QueuedPage page);

    bool Empty() const { return queue_.empty(); }
    std::size_t KeyCap() const { return keyCap_; }
    // Front of the queue; only when not Empty().
    QueuedPage Take();
    // The addresses Take will give next, at most `count` of them, front first.
    std::vector<Text> Upcoming(int count) const;

    // Records that the fetch of a taken address ended at `arrived` (the same address when no
    // redirect was followed), so that links to either are never fetched again and a queued
    // address that a redirect already reached is dropped. False when an earlier fetch
    // already arrived there: the page is stored once, the first time. `arrived` is
    // recorded whatever the cap, as the fetch has happened.
    bool Arrive(const Text& requested, const Text& arrived);

  private:
    // Records the address's key unless it is known or the cap is reached.
    QueueOutcome Register(const Text& address);
    void DropArrivedFront();

    std::size_t keyCap_;
    std::deque<QueuedPage> queue_;
    // Duplicate key of every address ever queued or arrived at -> whether a fetch arrived.
    std::unordered_map<Text, bool> keys_;
    // Redirects that arrived at an address other than the requested one; while there are
    // none, no queued address can have been reached early and the queue is not checked.
    std::size_t redirectArrivals_ = 0;
};

}  // namespace bcnk
