#pragma once

#include <cstddef>
#include <cstdint>

namespace velnor {

// Reads a byte buffer front to back; every read checks the length, so a decoder built on it
// cannot run past the end.
class ByteCursor {
public:
    ByteCursor(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    bool readByte(uint8_t &out) {
        if (pos_ >= size_) {
            return false;
        }
        out = data_[pos_++];
        return true;
    }

    // The next count bytes, or nullptr when fewer remain.
    const uint8_t *readBytes(size_t count) {
        if (size_ - pos_ < count) {
            return nullptr;
        }
        const uint8_t *start = data_ + pos_;
        pos_ += count;
        return start;
    }

    size_t remaining() const { return size_ - pos_; }

private:
    const uint8_t *data_;
    size_t size_;
    size_t pos_ = 0;
};

} // namespace velnor
