// TDelivery: a base class for objects that pass small messages along explicit connections.
//
// Every object can send and receive. A connection joins two objects: the sender lists the
// receiver and the receiver lists the sender (B is among A's receivers exactly when A is among
// B's senders; no object twice in one list). vSendMessage calls bReceiveMessage on each
// receiver in connection order; host classes override bReceiveMessage. Destroying an object
// removes it from every list it is in; its receivers last hear message 0 with parameter 0 from
// it. The lists do not own the objects. Each object also carries a time stamp the host sets
// and reads.
//
// Threads: each object has its own non-recursive lock (BEGIN/END: a busy flag, tested and set
// atomically, 10 ms sleep between attempts). Connecting and disconnecting hold both objects'
// locks, taken in a fixed order (by address), so any threads may connect and disconnect any
// objects at the same time. vSendMessage holds the sender's lock while its receivers run: a
// bReceiveMessage must not connect, disconnect or send through that sender. The size and
// element getters and the time stamp take no lock: read them while no other thread changes
// the object's connections. The destructor disconnects only after a derived class's part is
// gone: a derived object that other threads may still send to must be disconnected (or those
// threads stopped) before it is destroyed.
#pragma once

#include <atomic>
#include <vector>

#include "qx/platform/TimeStamp.h"

class TDelivery {
  public:
    // No connections, lock free, time stamp = now.
    TDelivery();
    // The same as TDelivery(): connections are not copied, the time stamp is now.
    TDelivery(const TDelivery& other);
    // Only renews this object's time stamp; its connections stay, nothing is taken from other.
    TDelivery& operator=(const TDelivery& other);
    // Disconnects from every sender, sends message 0 with parameter 0 to every receiver, then
    // disconnects from them.
    virtual ~TDelivery();

    // sender -> this. Nothing happens for null or an existing connection.
    virtual void vConnectSender(TDelivery* sender);
    // this -> receiver. Nothing happens for null or an existing connection.
    virtual void vConnectReceiver(TDelivery* receiver);
    // Removes sender -> this; nothing happens when there is no such connection.
    virtual void vDisconnectSender(TDelivery* sender);
    // Removes this -> receiver; nothing happens when there is no such connection.
    virtual void vDisconnectReceiver(TDelivery* receiver);
    // Calls bReceiveMessage(this, message, param) on each receiver in order, synchronously;
    // the results are ignored.
    virtual void vSendMessage(unsigned long message, unsigned long param);
    // The receiving hook. The base version receives nothing and returns false.
    virtual bool bReceiveMessage(const TDelivery* sender, unsigned long message,
                                 unsigned long param);

    unsigned uSenderSize() const { return static_cast<unsigned>(senders_.size()); }
    // Sender i, or null when i is not below the count.
    TDelivery* pGetSender(unsigned i) const { return i < senders_.size() ? senders_[i] : nullptr; }
    unsigned uReceiverSize() const { return static_cast<unsigned>(receivers_.size()); }
    // Receiver i, or null when i is not below the count.
    TDelivery* pGetReceiver(unsigned i) const {
        return i < receivers_.size() ? receivers_[i] : nullptr;
    }

    void vSetTimeStamp() { timeStamp_.set(); }
    void vSetTimeStamp(const Process::TTimeStamp& stamp) { timeStamp_ = stamp; }
    const Process::TTimeStamp& rGetTimeStamp() const { return timeStamp_; }

    // Takes this object's lock, waiting while another holder has it. Not recursive.
    void BEGIN();
    // Releases this object's lock.
    void END();

  private:
    // Adds (removes) sender -> receiver in both objects' lists; an existing (missing)
    // connection is left as it is.
    static void vLink(TDelivery* sender, TDelivery* receiver);
    static void vUnlink(TDelivery* sender, TDelivery* receiver);

    std::vector<TDelivery*> senders_;
    std::vector<TDelivery*> receivers_;
    Process::TTimeStamp timeStamp_;
    std::atomic_flag busy_;
};
