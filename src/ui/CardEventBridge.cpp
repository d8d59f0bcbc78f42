#include "ui/CardEventBridge.h"

#include <memory>

namespace velnor {

void CardEventBridge::setTargets(CardEvents *card, ReaderEvents *readers) {
    std::lock_guard lock(mutex_);
    card_ = card;
    readers_ = readers;
}

void CardEventBridge::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    handled_.notify_all();
}

bool CardEventBridge::isClosed() {
    std::lock_guard lock(mutex_);
    return closed_;
}

void CardEventBridge::cardGone() {
    deliverAndWait([](CardEvents &events) { events.cardGone(); });
}

void CardEventBridge::otherCard() {
    deliverAndWait([](CardEvents &events) { events.otherCard(); });
}

void CardEventBridge::pinWanted() {
    deliverAndWait([](CardEvents &events) { events.pinWanted(); });
}

void CardEventBridge::readersSeen(const std::vector<ReaderEntry> &readers) {
    QMetaObject::invokeMethod(
        this,
        [this, readers] {
            if (!isClosed() && readers_ != nullptr) {
                readers_->readersSeen(readers);
            }
        },
        Qt::QueuedConnection);
}

void CardEventBridge::deliverAndWait(std::function<void(CardEvents &)> handler) {
    auto done = std::make_shared<bool>(false);
    QMetaObject::invokeMethod(
        this,
        [this, handler, done] {
            if (!isClosed() && card_ != nullptr) {
                handler(*card_);
            }
            {
                std::lock_guard lock(mutex_);
                *done = true;
            }
            handled_.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(mutex_);
    handled_.wait(lock, [&] { return *done || closed_; });
}

} // namespace velnor
