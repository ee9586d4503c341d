#include "scan/fetch_ahead.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace bcnk {

namespace {

// How often a Get waiting for its answer looks at the cancel flag.
constexpr std::chrono::milliseconds kCancelPoll{50};

}  // namespace

FetchAhead::FetchAhead(int connections, const Text& userAgent, const std::atomic<bool>& cancelFlag)
    : connections_(std::clamp(connections, 1, kMaxConnections)),
      userAgent_(userAgent),
      cancelFlag_(cancelFlag) {}

FetchAhead::~FetchAhead() {
    Finish();
}

FetchResult FetchAhead::Get(const Text& address, const std::vector<Text>& upcoming) {
    // The start page, whose answer may still move the crawl to another address, is fetched
    // alone, on this thread; workers start with the first page that has others behind it.
    if (connections_ == 1 || (workers_.empty() && upcoming.empty())) {
        return Http::Get(address, userAgent_, &cancelFlag_);
    }
    std::vector<Text> wanted{address};
    const size_t ahead = std::min(upcoming.size(), static_cast<size_t>(Ahead()));
    wanted.insert(wanted.end(), upcoming.begin(), upcoming.begin() + static_cast<long>(ahead));

    std::unique_lock<std::mutex> lock(mutex_);
    const size_t added = Plan(wanted);
    for (int i = static_cast<int>(workers_.size()); i < connections_; ++i) {
        workers_.emplace_back([this] { Work(); });
    }
    if (added > 0) {
        // Woken after the unlock, a worker does not block at once on the mutex.
        lock.unlock();
        added == 1 ? queued_.notify_one() : queued_.notify_all();
        lock.lock();
    }

    const JobPointer job = jobs_.front();
    while (!job->done) {
        if (cancelFlag_.load()) {
            Abandon(jobs_.begin(), jobs_.end());
            return FetchResult();
        }
        finished_.wait_for(lock, kCancelPoll);
    }
    jobs_.pop_front();
    return std::move(job->result);
}

void FetchAhead::Finish() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finishing_ = true;
        Abandon(jobs_.begin(), jobs_.end());
    }
    queued_.notify_all();
    for (std::thread& worker : workers_) {
        worker.join();
    }
    workers_.clear();
}

size_t FetchAhead::Plan(const std::vector<Text>& wanted) {
    // Addresses the crawl passed over without asking (it may decide not to fetch a page
    // after all) go first; then everything from the first difference on.
    const auto current = std::find_if(jobs_.begin(), jobs_.end(), [&](const JobPointer& job) {
        return job->address == wanted.front();
    });
    if (current != jobs_.end()) {
        Abandon(jobs_.begin(), current);
    }
    size_t kept = 0;
    while (kept < jobs_.size() && kept < wanted.size() && jobs_[kept]->address == wanted[kept]) {
        ++kept;
    }
    Abandon(jobs_.begin() + static_cast<long>(kept), jobs_.end());
    for (size_t i = kept; i < wanted.size(); ++i) {
        auto job = std::make_shared<Job>();
        job->address = wanted[i];
        jobs_.push_back(std::move(job));
    }
    return wanted.size() - std::min(kept, wanted.size());
}

void FetchAhead::Abandon(std::deque<JobPointer>::iterator first,
                         std::deque<JobPointer>::iterator last) {
    // A worker running one of these keeps its own reference, ends the request soon after the
    // stop flag and drops the answer.
    for (auto job = first; job != last; ++job) {
        (*job)->stop = true;
    }
    jobs_.erase(first, last);
}

void FetchAhead::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        auto next = jobs_.end();
        queued_.wait(lock, [&] {
            next = std::find_if(jobs_.begin(), jobs_.end(),
                                [](const JobPointer& job) { return !job->started; });
            return finishing_ || next != jobs_.end();
        });
        if (finishing_) {
            return;
        }
        const JobPointer job = *next;
        job->started = true;
        lock.unlock();
        FetchResult result = Http::Get(job->address, userAgent_, &job->stop);
        lock.lock();
        job->result = std::move(result);
        job->done = true;
        lock.unlock();
        finished_.notify_one();
        lock.lock();
    }
}

}  // namespace bcnk
