#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "records/RowList.h"

namespace velnor {

// A message's card record image: status byte, then the record's bytes; zero after a record
// read from the card, 0xFF after a composed message.
inline constexpr size_t kMessageImageSize = 260;
using MessageImage = std::array<uint8_t, kMessageImageSize>;

// The card record images of the message list, one per row, in row order.
using MessageStore = std::vector<MessageImage>;

// Column numbers of the message list and the phonebook lists.
namespace column {
inline constexpr size_t No = 0;
inline constexpr size_t Name = 1;
inline constexpr size_t Number = 2;
// The phonebook's optional columns, filled from a USIM or a contacts file.
inline constexpr size_t Email = 3;
inline constexpr size_t AdditionalNumber = 4;
inline constexpr size_t SecondName = 5;
inline constexpr size_t Status = 1;
inline constexpr size_t MessageNumber = 2;
inline constexpr size_t Time = 3;
inline constexpr size_t Text = 4;
} // namespace column

// The message list: its rows and their record images, changed together in every call.
class MessageList {
public:
    explicit MessageList(std::vector<std::string> titles = {}) : rows_(std::move(titles)) {}

    RowList &rows() { return rows_; }
    const RowList &rows() const { return rows_; }
    const MessageStore &store() const { return store_; }
    size_t size() const { return store_.size(); }

    void reserve(size_t count) {
        rows_.reserve(count);
        store_.reserve(count);
    }
    void append(std::vector<std::string> cells, const MessageImage &image);
    void insert(size_t index, std::vector<std::string> cells, const MessageImage &image);
    void replace(size_t index, std::vector<std::string> cells, const MessageImage &image);
    // Removes row and image, then renumbers the rows after it.
    void remove(size_t index);
    void clear();
    // Exchanges two messages; the No. column stays in place.
    bool swap(size_t a, size_t b);
    // Removes every ticked row with its image; returns how many went.
    size_t removeChecked();

private:
    RowList rows_;
    MessageStore store_;
};

} // namespace velnor
