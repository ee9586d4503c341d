#pragma once
// Several requests in flight for a crawl that still takes its answers one at a time, in its
// own order. The crawl asks for the page it takes now and names the pages it will take
// next; those are fetched meanwhile on worker threads, started in the order named. Nothing
// the crawl decides depends on which answer arrived first, so the result is the one a
// crawl fetching page by page would give.
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/text.h"
#include "net/http.h"

namespace bcnk {

// The most requests one crawl keeps in flight; more would only burden the site.
constexpr int kMaxConnections = 16;

class FetchAhead {
  public:
    // At most `connections` requests in flight (1..kMaxConnections); with 1 every Get runs on the
    // calling thread and nothing is fetched ahead. Raising `cancelFlag` gives up every request in
    // flight.
    FetchAhead(int connections, const Text& userAgent, const std::atomic<bool>& cancelFlag);
    ~FetchAhead();
    FetchAhead(const FetchAhead&) = delete;
    FetchAhead& operator=(const FetchAhead&) = delete;

    // How many upcoming addresses are worth naming to Get. Twice the requests in flight are
    // planned, so that a worker that finishes finds its next address waiting instead of
    // sleeping until the crawl takes an answer.
    int Ahead() const { return connections_ == 1 ? 0 : 2 * connections_ - 1; }

    // The answer for `address`. `upcoming` are the addresses the crawl will ask for next, in
    // order; fetches started earlier for addresses that are now neither `address` nor
    // upcoming are abandoned: given up and never returned. Returns status 0 at once when the
    // cancel flag is raised while it waits.
    FetchResult Get(const Text& address, const std::vector<Text>& upcoming);

    // Abandons every fetch not yet returned and waits until the workers have stopped (within
    // about a second, however long a server keeps silent).
    void Finish();

  private:
    struct Job {
        Text address;
        std::atomic<bool> stop{false};
        bool started = false;
        bool done = false;
        FetchResult result;
    };
    using JobPointer = std::shared_ptr<Job>;

    // Makes jobs_ the fetches of `wanted`, in that order, keeping those already under way.
    // Returns how many fetches it added.
    size_t Plan(const std::vector<Text>& wanted);
    void Abandon(std::deque<JobPointer>::iterator first, std::deque<JobPointer>::iterator last);
    void Work();

    const int connections_;
    const Text userAgent_;
    const std::atomic<bool>& cancelFlag_;

    std::mutex mutex_;
    std::condition_variable queued_;    // for workers: a job was queued, or finishing
    std::condition_variable finished_;  // for Get: a job finished
    std::deque<JobPointer> jobs_;       // wanted fetches in the order the crawl takes them
    bool finishing_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace bcnk
