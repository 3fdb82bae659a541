// ThreadInbox: functions handed to the UI thread run there in order, one per pass of the event loop, so a
// thread that keeps handing functions in cannot keep the loop's timers and paints waiting; a function for an
// object that has gone is dropped.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "controls/thread_inbox.h"

namespace kvx {
namespace controls_thread_inbox_test {

// Runs the event loop until `done` holds, for at most about five seconds.
template <typename Done>
bool runUntil(Done done) {
    for (int i = 0; i < 5000 && !done(); ++i) QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return done();
}

TEST(ThreadInbox, FunctionsFromAnotherThreadRunOnTheOwnersThreadInOrder) {
    QObject owner;
    const auto dispatch = dispatchTo(&owner);
    std::vector<int> ran;
    std::vector<bool> onOwnersThread;
    std::thread sender([&] {
        for (int i = 0; i < 100; ++i)
            dispatch([&, i] {
                ran.push_back(i);
                onOwnersThread.push_back(QThread::currentThread() == owner.thread());
            });
    });
    sender.join();
    ASSERT_TRUE(runUntil([&] { return ran.size() == 100; }));
    for (int i = 0; i < 100; ++i) EXPECT_EQ(ran[static_cast<size_t>(i)], i);
    EXPECT_EQ(std::count(onOwnersThread.begin(), onOwnersThread.end(), false), 0);
}

// Each function hands in the next, as a receiver flooded with reports does: a timer due meanwhile still
// fires long before the chain ends.
TEST(ThreadInbox, AChainOfFunctionsLetsTimersRunBetweenThem) {
    QObject owner;
    const auto dispatch = dispatchTo(&owner);
    constexpr int kChain = 2000;
    int links = 0;
    int linksWhenTheTimerFired = -1;
    std::function<void()> link = [&] {
        if (++links == 1) QTimer::singleShot(0, [&] { linksWhenTheTimerFired = links; });
        if (links < kChain) dispatch(link);
    };
    dispatch(link);
    ASSERT_TRUE(runUntil([&] { return links == kChain; }));
    ASSERT_GE(linksWhenTheTimerFired, 1);
    EXPECT_LT(linksWhenTheTimerFired, 10);
}

TEST(ThreadInbox, FunctionsForAnObjectThatHasGoneAreDropped) {
    auto owner = std::make_unique<QObject>();
    const auto dispatch = dispatchTo(owner.get());
    bool ran = false;
    dispatch([&] { ran = true; });
    owner.reset();
    dispatch([&] { ran = true; });
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

}  // namespace controls_thread_inbox_test
}  // namespace kvx
