// Work on numbered items spread over several threads, with the results handed on in item order:
// item k's result is delivered on the calling thread as soon as it and every item before it are
// done. Only `window` items may be started and not yet delivered, so a slow item holds back at most
// that many finished results in memory.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace vexlor::cli {

// Runs work(0), ..., work(count - 1) on `threads` threads (at least one) and calls deliver(k,
// result) for k = 0, 1, ... on the calling thread. When deliver returns false, no further item is
// started; items already running finish and their results are dropped. `work` must not throw.
template <typename Result>
void RunInOrder(size_t count, size_t threads, size_t window,
                const std::function<Result(size_t)>& work,
                const std::function<bool(size_t, Result&)>& deliver) {
    if (count == 0) return;
    threads = std::max<size_t>(1, std::min(threads, count));
    window = std::max(window, threads);

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::optional<Result>> finished(count);
    size_t next = 0;       // the next item to start
    size_t delivered = 0;  // items handed on so far
    bool stopped = false;

    auto worker = [&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock,
                         [&] { return stopped || next >= count || next < delivered + window; });
            if (stopped || next >= count) return;
            const size_t item = next++;
            lock.unlock();
            Result result = work(item);
            lock.lock();
            finished[item].emplace(std::move(result));
            changed.notify_all();
        }
    };
    std::vector<std::jthread> pool;
    for (size_t t = 0; t < threads; ++t)
        pool.emplace_back(worker);

    std::unique_lock lock(mutex);
    while (delivered < count && !stopped) {
        changed.wait(lock, [&] { return finished[delivered].has_value(); });
        Result result = std::move(*finished[delivered]);
        finished[delivered].reset();
        lock.unlock();
        const bool goOn = deliver(delivered, result);
        lock.lock();
        ++delivered;
        stopped = !goOn;
        changed.notify_all();
    }
    lock.unlock();
    // The threads end once nothing is left to start (or the run was stopped); `pool` joins them
    // before the state they share goes away.
    for (std::jthread& thread : pool)
        thread.join();
}

}  // namespace vexlor::cli
