// Message delivery: connections kept on both sides, sending in order, destruction, copying,
// the lock, and connecting, disconnecting and sending from several threads.
#include <algorithm>
#include <atomic>
#include <latch>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

// What probes received: receiver, sender, message, parameter.
using TSeen = std::tuple<const TDelivery*, const TDelivery*, unsigned long, unsigned long>;

struct TProbe : TDelivery {
    explicit TProbe(std::vector<TSeen>& log) : log_(log) {}
    bool bReceiveMessage(const TDelivery* sender, unsigned long m, unsigned long p) override {
        log_.emplace_back(this, sender, m, p);
        return true;
    }
    std::vector<TSeen>& log_;
};

using TList = std::vector<TDelivery*>;

TList Receivers(TDelivery& d) {
    TList out(d.uReceiverSize());
    for (unsigned i = 0; i < out.size(); ++i) out[i] = d.pGetReceiver(i);
    return out;
}
TList Senders(TDelivery& d) {
    TList out(d.uSenderSize());
    for (unsigned i = 0; i < out.size(); ++i) out[i] = d.pGetSender(i);
    return out;
}

// Both sides of every connection agree, and no list holds a pointer twice.
void ExpectConsistent(const TList& all) {
    for (TDelivery* a : all) {
        for (TDelivery* b : Receivers(*a)) {
            EXPECT_EQ(std::ranges::count(Receivers(*a), b), 1);
            EXPECT_EQ(std::ranges::count(Senders(*b), a), 1);
        }
        for (TDelivery* b : Senders(*a)) EXPECT_EQ(std::ranges::count(Receivers(*b), a), 1);
    }
}

TEST(Delivery, ConnectionsAreMadeOnceFromEitherSideRemovedInOrderAndMayLoopBack) {
    TDelivery x, a, b, c;
    x.vConnectReceiver(&a);
    a.vConnectSender(&x);  // the same connection
    x.vConnectReceiver(nullptr);
    x.vConnectSender(nullptr);
    x.vConnectReceiver(&b);
    c.vConnectSender(&x);
    EXPECT_EQ(Receivers(x), (TList{&a, &b, &c}));
    EXPECT_EQ(Senders(a), TList{&x});
    EXPECT_EQ(x.pGetReceiver(3), nullptr);
    EXPECT_EQ(x.pGetSender(0), nullptr);

    b.vDisconnectSender(&x);
    x.vDisconnectReceiver(&b);  // not connected: nothing changes
    a.vDisconnectReceiver(&x);  // the wrong direction: nothing changes
    x.vDisconnectSender(nullptr);
    x.vDisconnectReceiver(nullptr);
    EXPECT_EQ(Receivers(x), (TList{&a, &c}));  // the others keep their order
    x.vDisconnectReceiver(&a);
    EXPECT_EQ(Receivers(x), TList{&c});
    ExpectConsistent({&x, &a, &b, &c});  // a and b kept no sender

    // An object connected to itself neither hangs nor dangles.
    std::vector<TSeen> log;
    TDelivery other;
    {
        TProbe self(log);
        self.vConnectReceiver(&self);
        self.vSendMessage(3, 4);
        EXPECT_EQ(log, (std::vector<TSeen>{{&self, &self, 3, 4}}));
        self.vConnectReceiver(&other);
        self.vDisconnectSender(&self);
        EXPECT_EQ(Receivers(self), TList{&other});
        self.vConnectSender(&self);
    }
    EXPECT_TRUE(Senders(other).empty());
}

TEST(Delivery, SendingReachesEveryReceiverInOrderDestructionSaysGoodbyeCopiesTakeNone) {
    std::vector<TSeen> log;
    TProbe w(log), y(log), z(log);
    auto x = std::make_unique<TDelivery>();
    const TDelivery* gone = x.get();
    w.vConnectReceiver(x.get());
    x->vConnectReceiver(&y);
    x->vConnectReceiver(&z);
    TDelivery plain;
    x->vConnectReceiver(&plain);
    x->vSendMessage(7, 42);
    EXPECT_EQ(log, (std::vector<TSeen>{{&y, gone, 7, 42}, {&z, gone, 7, 42}}));

    log.clear();
    x.reset();  // w, its sender, hears nothing; the receivers hear message 0
    EXPECT_EQ(log, (std::vector<TSeen>{{&y, gone, 0, 0}, {&z, gone, 0, 0}}));

    // The lock is released when a receiver throws.
    struct TThrower : TDelivery {
        bool bReceiveMessage(const TDelivery*, unsigned long, unsigned long) override { throw 1; }
    } thrower;
    plain.vConnectReceiver(&thrower);
    EXPECT_THROW(plain.vSendMessage(1, 1), int);
    plain.vDisconnectReceiver(&thrower);  // would wait for ever if the lock were still held
    EXPECT_EQ(plain.uReceiverSize(), 0u);

    // Copies take no connections; assignment only renews the stamp.
    TDelivery src, v, target;
    src.vConnectReceiver(&y);
    v.vConnectReceiver(&target);
    TDelivery copy(src);
    EXPECT_EQ(copy.uReceiverSize(), 0u);

    Process::TTimeStamp old = v.rGetTimeStamp();
    v = src;
    EXPECT_EQ(Receivers(v), TList{&target});
    EXPECT_GE(old.llDiff(v.rGetTimeStamp()), 0);
    EXPECT_GE(src.rGetTimeStamp().llDiff(v.rGetTimeStamp()), 0);  // now, not src's stamp

    v.vSetTimeStamp(old);
    EXPECT_EQ(v.rGetTimeStamp(), old);
}

// Counts the messages of kind 2.
struct TCounter : TDelivery {
    bool bReceiveMessage(const TDelivery*, unsigned long m, unsigned long) override {
        if (m == 2) own.fetch_add(1, std::memory_order_relaxed);
        return true;
    }
    std::atomic<long> own{0};
};

TEST(Delivery, ThreadsConnectDisconnectAndSendOnSharedAndOnDistinctObjects) {
    constexpr int kThreads = 4, kRounds = 200, kObjects = 8;
    TDelivery hub;
    TCounter sink;
    std::vector<std::unique_ptr<TCounter>> workers;
    for (int i = 0; i < kThreads; ++i) workers.push_back(std::make_unique<TCounter>());
    std::atomic<bool> stop{false};
    std::latch start(kThreads + 1);

    // The hub broadcasts to whoever is connected at the moment.
    std::thread broadcaster([&] {
        start.arrive_and_wait();
        while (!stop.load()) {
            hub.vSendMessage(1, 0);
            std::this_thread::yield();  // leave the hub's lock free now and then
        }
    });
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            TCounter& me = *workers[t];
            start.arrive_and_wait();
            for (int r = 0; r < kRounds; ++r) {
                // From alternating sides, so that both lock orders are exercised.
                r % 2 ? me.vConnectSender(&hub) : hub.vConnectReceiver(&me);
                me.vConnectReceiver(&sink);
                me.vSendMessage(2, 0);
                sink.vDisconnectSender(&me);
                r % 2 ? hub.vDisconnectReceiver(&me) : me.vDisconnectSender(&hub);
                // A short-lived object joining and leaving the shared hub. A plain TDelivery:
                // a derived object being destroyed while another thread sends to it would
                // race on its virtual table, as any C++ object would.
                TDelivery temp;
                temp.vConnectSender(&hub);
            }
        });
    }
    for (auto& t : threads) t.join();
    stop = true;
    broadcaster.join();

    EXPECT_EQ(sink.own.load(), kThreads * kRounds);
    TList all{&hub, &sink};
    for (auto& w : workers) all.push_back(w.get());
    for (TDelivery* d : all) EXPECT_TRUE(Receivers(*d).empty() && Senders(*d).empty());

    // Threads on distinct objects keep every connection.
    std::vector<std::vector<std::unique_ptr<TCounter>>> groups(kThreads);
    for (auto& g : groups)
        for (int i = 0; i < kObjects; ++i) g.push_back(std::make_unique<TCounter>());
    std::latch go(kThreads);
    threads.clear();
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&g = groups[t], &go] {
            go.arrive_and_wait();
            // Each object sends to every later one, then the odd ones are disconnected again.
            for (int i = 0; i < kObjects; ++i)
                for (int j = i + 1; j < kObjects; ++j) g[i]->vConnectReceiver(g[j].get());
            for (int i = 1; i < kObjects; i += 2)
                for (int j = 0; j < i; ++j) g[i]->vDisconnectSender(g[j].get());
            for (auto& o : g) o->vSendMessage(2, 0);
        });
    }
    for (auto& t : threads) t.join();
    for (auto& g : groups) {
        TList group;
        for (int i = 0; i < kObjects; ++i) {
            group.push_back(g[i].get());
            EXPECT_EQ(g[i]->own.load(), i % 2 ? 0 : i) << "object " << i;
        }
        ExpectConsistent(group);
    }
}

}  // namespace
