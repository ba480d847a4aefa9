// Work spread over threads, results handed on in item order, with a bounded number of results
// waiting.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>

#include "Deadline.h"
#include "cli/OrderedRun.h"

namespace vexlor::cli {
namespace {

using namespace std::chrono_literals;

// Later items finish first: item k sleeps longer the smaller k is.
std::function<std::string(size_t)> SlowFirst(size_t count) {
    return [count](size_t k) {
        std::this_thread::sleep_for(std::chrono::microseconds(200 * (count - k)));
        return "item " + std::to_string(k);
    };
}

TEST(OrderedRun, ResultsAreDeliveredInItemOrderWhateverOrderTheyFinishIn) {
    const vexlor::testing::Deadline deadline;  // a wrong slot hangs
    for (const size_t threads : {1, 2, 4, 16}) {
        std::vector<std::string> delivered;
        RunInOrder<std::string>(40, threads, 2 * threads, SlowFirst(40),
                                [&](size_t k, std::string& result) {
                                    EXPECT_EQ(k, delivered.size());
                                    delivered.push_back(result);
                                    return true;
                                });
        ASSERT_EQ(delivered.size(), 40u) << threads;
        for (size_t k = 0; k < delivered.size(); ++k)
            EXPECT_EQ(delivered[k], "item " + std::to_string(k)) << threads;
    }
}

TEST(OrderedRun, NoMoreItemsThanTheWindowAreStartedAheadOfTheLastDelivery) {
    const vexlor::testing::Deadline deadline;  // a wrong slot hangs
    std::atomic<size_t> started = 0;
    std::atomic<size_t> delivered = 0;
    std::atomic<size_t> mostAhead = 0;
    const size_t window = 3;
    RunInOrder<int>(
        60, 2, window,
        [&](size_t k) {
            // Deliveries read after the start: never fewer than there were at the start.
            const size_t startedNow = ++started;
            const size_t ahead = startedNow - delivered;
            size_t seen = mostAhead;
            while (ahead > seen && !mostAhead.compare_exchange_weak(seen, ahead)) {
            }
            // The first item is slow: the others must wait for it rather than pile up.
            std::this_thread::sleep_for(k == 0 ? 20ms : 100us);
            return 0;
        },
        [&](size_t, int&) {
            ++delivered;
            return true;
        });
    EXPECT_EQ(delivered, 60u);
    EXPECT_LE(mostAhead, window);
    EXPECT_GE(mostAhead, 2u);
}

TEST(OrderedRun, AStoppedDeliveryStartsNoFurtherItems) {
    const vexlor::testing::Deadline deadline;  // a wrong slot hangs
    std::atomic<size_t> started = 0;
    size_t delivered = 0;
    RunInOrder<int>(
        1000, 2, 4,
        [&](size_t) {
            ++started;
            return 0;
        },
        [&](size_t k, int&) {
            ++delivered;
            return k < 9;
        });
    EXPECT_EQ(delivered, 10u);
    EXPECT_LE(started, 10u + 4u);
}

TEST(OrderedRun, NothingToDoReturnsAtOnce) {
    const vexlor::testing::Deadline deadline;  // a wrong slot hangs
    bool called = false;
    RunInOrder<int>(
        0, 4, 8, [&](size_t) { return called = true, 0; },
        [&](size_t, int&) { return called = true; });
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace vexlor::cli
