#include "qx/delivery/Delivery.h"

#include <algorithm>
#include <functional>

#include "qx/platform/Os.h"

namespace {

using TList = std::vector<TDelivery*>;

bool contains(const TList& list, const TDelivery* p) {
    return std::find(list.begin(), list.end(), p) != list.end();
}

void removeFirst(TList& list, const TDelivery* p) {
    auto it = std::find(list.begin(), list.end(), p);
    if (it != list.end()) list.erase(it);  // keeps the order of the others
}

// Holds a pair lock for one scope, so that a throwing receiver or a failed allocation cannot
// leave an object locked for good.
class TPairLock {
  public:
    TPairLock(TDelivery* a, TDelivery* b) : first_(a), second_(b) {
        if (std::less<TDelivery*>()(second_, first_)) std::swap(first_, second_);
        first_->BEGIN();
        if (second_ != first_) second_->BEGIN();
    }
    ~TPairLock() {
        if (second_ != first_) second_->END();
        first_->END();
    }
    TPairLock(const TPairLock&) = delete;
    TPairLock& operator=(const TPairLock&) = delete;

  private:
    TDelivery* first_;
    TDelivery* second_;
};

class TOwnLock {
  public:
    explicit TOwnLock(TDelivery* d) : d_(d) { d_->BEGIN(); }
    ~TOwnLock() { d_->END(); }
    TOwnLock(const TOwnLock&) = delete;
    TOwnLock& operator=(const TOwnLock&) = delete;

  private:
    TDelivery* d_;
};

}  // namespace

TDelivery::TDelivery() = default;

TDelivery::TDelivery(const TDelivery&) : TDelivery() {}

TDelivery& TDelivery::operator=(const TDelivery&) {
    timeStamp_.set();
    return *this;
}

TDelivery::~TDelivery() {
    // The last entry of one of this object's lists, read under the lock.
    auto last = [this](const TList& list) -> TDelivery* {
        TOwnLock lock(this);
        return list.empty() ? nullptr : list.back();
    };
    auto listed = [this](const TList& list, TDelivery* p) {
        TOwnLock lock(this);
        return contains(list, p);
    };
    // An override that does not disconnect must not make this loop forever: the base version
    // then removes the connection.
    while (TDelivery* sender = last(senders_)) {
        sender->vDisconnectReceiver(this);
        if (listed(senders_, sender)) sender->TDelivery::vDisconnectReceiver(this);
    }
    vSendMessage(0, 0);
    while (TDelivery* receiver = last(receivers_)) {
        receiver->vDisconnectSender(this);
        if (listed(receivers_, receiver)) receiver->TDelivery::vDisconnectSender(this);
    }
}

void TDelivery::BEGIN() {
    while (busy_.test_and_set(std::memory_order_acquire)) qx::platform::SleepMs(10);
}

void TDelivery::END() {
    busy_.clear(std::memory_order_release);
}

// Both lists of a connection change together, under both objects' locks.
void TDelivery::vLink(TDelivery* sender, TDelivery* receiver) {
    TPairLock lock(sender, receiver);
    if (contains(receiver->senders_, sender)) return;
    // Reserve first so that both lists change or neither does.
    sender->receivers_.reserve(sender->receivers_.size() + 1);
    receiver->senders_.reserve(receiver->senders_.size() + 1);
    sender->receivers_.push_back(receiver);
    receiver->senders_.push_back(sender);
}

void TDelivery::vUnlink(TDelivery* sender, TDelivery* receiver) {
    TPairLock lock(sender, receiver);
    if (!contains(receiver->senders_, sender)) return;
    removeFirst(sender->receivers_, receiver);
    removeFirst(receiver->senders_, sender);
}

void TDelivery::vConnectSender(TDelivery* sender) {
    if (sender) vLink(sender, this);
}

void TDelivery::vConnectReceiver(TDelivery* receiver) {
    if (receiver) vLink(this, receiver);
}

void TDelivery::vDisconnectSender(TDelivery* sender) {
    if (sender) vUnlink(sender, this);
}

void TDelivery::vDisconnectReceiver(TDelivery* receiver) {
    if (receiver) vUnlink(this, receiver);
}

void TDelivery::vSendMessage(unsigned long message, unsigned long param) {
    TOwnLock lock(this);
    for (TDelivery* receiver : receivers_) receiver->bReceiveMessage(this, message, param);
}

bool TDelivery::bReceiveMessage(const TDelivery*, unsigned long, unsigned long) {
    return false;
}
