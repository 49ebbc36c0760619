// Message delivery: connections kept on both sides, sending in order, destruction, copying,
// the lock, and connecting, disconnecting and sending from several threads.
#include <atomic>
#include <latch>
#include <memory>
#include <thread>
#include <tuple>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

// Records what it receives.
class TProbe : public TDelivery {
  public:
    using TSeen = std::tuple<const TDelivery*, unsigned long, unsigned long>;
    explicit TProbe(std::vector<std::pair<const TProbe*, TSeen>>* log = nullptr) : log_(log) {}
    bool bReceiveMessage(const TDelivery* sender, unsigned long m, unsigned long p) override {
        if (log_) log_->push_back({this, {sender, m, p}});
        return true;
    }

  private:
    std::vector<std::pair<const TProbe*, TSeen>>* log_;
};

// Both sides of every connection agree, and no list holds a pointer twice.
void ExpectConsistent(const std::vector<TDelivery*>& all) {
    for (TDelivery* a : all) {
        for (unsigned i = 0; i < a->uReceiverSize(); ++i) {
            TDelivery* b = a->pGetReceiver(i);
            int back = 0;
            for (unsigned j = 0; j < b->uSenderSize(); ++j) back += b->pGetSender(j) == a;
            EXPECT_EQ(back, 1);
            for (unsigned j = i + 1; j < a->uReceiverSize(); ++j) EXPECT_NE(a->pGetReceiver(j), b);
        }
        for (unsigned i = 0; i < a->uSenderSize(); ++i) {
            TDelivery* b = a->pGetSender(i);
            int back = 0;
            for (unsigned j = 0; j < b->uReceiverSize(); ++j) back += b->pGetReceiver(j) == a;
            EXPECT_EQ(back, 1);
        }
    }
}

TEST(Delivery, ConnectingFromEitherSideMakesOneConnection) {
    TDelivery x, y;
    x.vConnectReceiver(&y);
    EXPECT_EQ(x.uReceiverSize(), 1u);
    EXPECT_EQ(y.uSenderSize(), 1u);
    EXPECT_EQ(y.pGetSender(0), &x);
    y.vConnectSender(&x);  // the same connection
    x.vConnectReceiver(&y);
    EXPECT_EQ(x.uReceiverSize(), 1u);
    EXPECT_EQ(y.uSenderSize(), 1u);
    EXPECT_EQ(x.uSenderSize(), 0u);
    EXPECT_EQ(x.pGetReceiver(5), nullptr);
    EXPECT_EQ(x.pGetReceiver(1), nullptr);
    EXPECT_EQ(x.pGetSender(0), nullptr);
    x.vConnectReceiver(nullptr);
    x.vConnectSender(nullptr);
    ExpectConsistent({&x, &y});
}

TEST(Delivery, DisconnectingRemovesBothSidesAndKeepsTheOrder) {
    TDelivery x, a, b, c;
    x.vConnectReceiver(&a);
    x.vConnectReceiver(&b);
    c.vConnectSender(&x);
    b.vDisconnectSender(&x);
    ASSERT_EQ(x.uReceiverSize(), 2u);
    EXPECT_EQ(x.pGetReceiver(0), &a);
    EXPECT_EQ(x.pGetReceiver(1), &c);
    EXPECT_EQ(b.uSenderSize(), 0u);
    x.vDisconnectReceiver(&b);  // not connected: nothing changes
    a.vDisconnectReceiver(&x);  // the wrong direction: nothing changes
    x.vDisconnectSender(nullptr);
    EXPECT_EQ(x.uReceiverSize(), 2u);
    x.vDisconnectReceiver(&a);
    EXPECT_EQ(x.uReceiverSize(), 1u);
    EXPECT_EQ(a.uSenderSize(), 0u);
    ExpectConsistent({&x, &a, &b, &c});
}

TEST(Delivery, SendingReachesEveryReceiverInOrder) {
    std::vector<std::pair<const TProbe*, TProbe::TSeen>> log;
    TDelivery x;
    TProbe y(&log), z(&log);
    x.vConnectReceiver(&y);
    x.vConnectReceiver(&z);
    x.vSendMessage(7, 42);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].first, &y);
    EXPECT_EQ(log[1].first, &z);
    EXPECT_EQ(log[0].second, (TProbe::TSeen{&x, 7, 42}));
    EXPECT_EQ(log[1].second, (TProbe::TSeen{&x, 7, 42}));
    TDelivery plain;
    x.vConnectReceiver(&plain);
    EXPECT_FALSE(plain.bReceiveMessage(&x, 1, 1));
    x.vSendMessage(1, 2);  // a plain receiver ignores it
    EXPECT_EQ(log.size(), 4u);
}

TEST(Delivery, DestructionLeavesNoPointersAndSaysGoodbye) {
    std::vector<std::pair<const TProbe*, TProbe::TSeen>> log;
    TProbe w(&log), y(&log), z(&log);
    const TDelivery* gone = nullptr;
    {
        auto x = std::make_unique<TDelivery>();
        gone = x.get();
        w.vConnectReceiver(x.get());
        x->vConnectReceiver(&y);
        x->vConnectReceiver(&z);
        x.reset();
    }
    EXPECT_EQ(w.uReceiverSize(), 0u);
    EXPECT_EQ(y.uSenderSize(), 0u);
    EXPECT_EQ(z.uSenderSize(), 0u);
    ASSERT_EQ(log.size(), 2u);  // w, its sender, hears nothing
    EXPECT_EQ(log[0].first, &y);
    EXPECT_EQ(log[0].second, (TProbe::TSeen{gone, 0, 0}));
    EXPECT_EQ(log[1].first, &z);
}

TEST(Delivery, AnObjectConnectedToItselfNeitherHangsNorDangles) {
    std::vector<std::pair<const TProbe*, TProbe::TSeen>> log;
    TDelivery other;
    {
        TProbe self(&log);
        self.vConnectReceiver(&self);
        EXPECT_EQ(self.uReceiverSize(), 1u);
        EXPECT_EQ(self.uSenderSize(), 1u);
        self.vSendMessage(3, 4);
        EXPECT_EQ(log.size(), 1u);
        self.vConnectReceiver(&other);
        self.vDisconnectSender(&self);
        EXPECT_EQ(self.uReceiverSize(), 1u);
        self.vConnectSender(&self);
    }
    EXPECT_EQ(other.uSenderSize(), 0u);
}

TEST(Delivery, CopiesTakeNoConnectionsAndAssignmentOnlyRenewsTheStamp) {
    TDelivery x, y, v, w;
    x.vConnectReceiver(&y);
    v.vConnectReceiver(&w);
    TDelivery copy(x);
    EXPECT_EQ(copy.uReceiverSize(), 0u);
    EXPECT_EQ(y.uSenderSize(), 1u);
    EXPECT_GE(x.rGetTimeStamp().llDiff(copy.rGetTimeStamp()), 0);

    Process::TTimeStamp old = v.rGetTimeStamp();
    v = x;
    EXPECT_EQ(v.uReceiverSize(), 1u);
    EXPECT_EQ(v.pGetReceiver(0), &w);
    EXPECT_EQ(y.uSenderSize(), 1u);
    EXPECT_GE(old.llDiff(v.rGetTimeStamp()), 0);
    EXPECT_GE(x.rGetTimeStamp().llDiff(v.rGetTimeStamp()), 0);  // now, not x's stamp

    v.vSetTimeStamp(old);
    EXPECT_EQ(v.rGetTimeStamp(), old);
}

TEST(Delivery, TheLockIsReleasedWhenAReceiverThrows) {
    class TThrower : public TDelivery {
      public:
        bool bReceiveMessage(const TDelivery*, unsigned long, unsigned long) override { throw 1; }
    } thrower;
    TDelivery x;
    x.vConnectReceiver(&thrower);
    EXPECT_THROW(x.vSendMessage(1, 1), int);
    x.vDisconnectReceiver(&thrower);  // would wait for ever if the lock were still held
    EXPECT_EQ(x.uReceiverSize(), 0u);
}

// Counts messages by kind.
class TCounter : public TDelivery {
  public:
    bool bReceiveMessage(const TDelivery* sender, unsigned long m, unsigned long) override {
        if (m == 1) hub.fetch_add(1, std::memory_order_relaxed);
        if (m == 2) own.fetch_add(1, std::memory_order_relaxed);
        last.store(sender, std::memory_order_relaxed);
        return true;
    }
    std::atomic<long> hub{0}, own{0};
    std::atomic<const TDelivery*> last{nullptr};
};

TEST(Delivery, ThreadsConnectDisconnectAndSendAtTheSameTime) {
    constexpr int kThreads = 4, kRounds = 200;
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
                if (r % 2)
                    me.vConnectSender(&hub);
                else
                    hub.vConnectReceiver(&me);
                me.vConnectReceiver(&sink);
                me.vSendMessage(2, 0);
                sink.vDisconnectSender(&me);
                if (r % 2)
                    hub.vDisconnectReceiver(&me);
                else
                    me.vDisconnectSender(&hub);
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
    EXPECT_EQ(hub.uReceiverSize(), 0u);
    EXPECT_EQ(sink.uSenderSize(), 0u);
    std::vector<TDelivery*> all{&hub, &sink};
    for (auto& w : workers) {
        EXPECT_EQ(w->uSenderSize(), 0u);
        EXPECT_EQ(w->uReceiverSize(), 0u);
        all.push_back(w.get());
    }
    ExpectConsistent(all);
}

TEST(Delivery, ThreadsOnDistinctObjectsKeepEveryConnection) {
    constexpr int kThreads = 4, kObjects = 8;
    std::vector<std::vector<std::unique_ptr<TCounter>>> groups(kThreads);
    for (auto& g : groups)
        for (int i = 0; i < kObjects; ++i) g.push_back(std::make_unique<TCounter>());
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&g = groups[t], &start] {
            start.arrive_and_wait();
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
        std::vector<TDelivery*> all;
        for (int i = 0; i < kObjects; ++i) {
            all.push_back(g[i].get());
            EXPECT_EQ(g[i]->own.load(), i % 2 ? 0 : i) << "object " << i;
        }
        ExpectConsistent(all);
    }
}

}  // namespace
