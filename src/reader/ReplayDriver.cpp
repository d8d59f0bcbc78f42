#include "reader/ReplayDriver.h"

#include <cctype>
#include <sstream>

#include "codec/CMyTools.h"

namespace velnor {

namespace {

constexpr std::string_view Arrow = " -> ";
constexpr std::string_view NoAnswer = "no answer";

// The bytes of "9F 16" (any case, any spacing); nullopt when a word is no byte.
std::optional<std::vector<uint8_t>> hexBytes(const std::string &text) {
    std::istringstream words(text);
    std::string word;
    std::string digits;
    while (words >> word) {
        if (word.size() != 2) {
            return std::nullopt;
        }
        digits += word;
    }
    return CMyTools::asc2hex(digits);
}

// A recorded command as describeExchange shows it: upper-case bytes, "**" for a hidden one.
std::optional<std::string> commandText(const std::string &text) {
    std::istringstream words(text);
    std::string word;
    std::string shown;
    while (words >> word) {
        for (char &c : word) {
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        }
        if (word != "**" && !(word.size() == 2 && hexBytes(word))) {
            return std::nullopt;
        }
        shown += (shown.empty() ? "" : " ") + word;
    }
    if (shown.empty()) {
        return std::nullopt;
    }
    return shown;
}

} // namespace

ReplayDriver::ReplayDriver(std::vector<Exchange> exchanges, std::optional<Bytes> answerToReset)
    : exchanges_(exchanges.begin(), exchanges.end()), answerToReset_(std::move(answerToReset)) {}

std::optional<std::vector<ReplayDriver::Exchange>> ReplayDriver::parseTrace(const std::string &text,
                                                                            std::string &error) {
    std::vector<Exchange> exchanges;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        if (line.find_first_not_of(" \t\r") == std::string::npos) {
            continue;
        }
        const size_t arrow = line.find(Arrow);
        std::optional<std::string> command;
        std::optional<Bytes> answer;
        if (arrow != std::string::npos) {
            command = commandText(line.substr(0, arrow));
            std::string rest = line.substr(arrow + Arrow.size());
            rest.erase(rest.find_last_not_of(" \t\r") + 1);
            if (command && rest == NoAnswer) {
                exchanges.push_back({*command, std::nullopt});
                continue;
            }
            answer = hexBytes(rest);
        }
        if (!command || !answer) {
            error = "Line " + std::to_string(number) + " is no exchange \"COMMAND -> ANSWER\".";
            return std::nullopt;
        }
        exchanges.push_back({*command, std::move(answer)});
    }
    return exchanges;
}

size_t ReplayDriver::remaining() const {
    std::lock_guard lock(mutex_);
    return exchanges_.size();
}

int ReplayDriver::opens() const {
    std::lock_guard lock(mutex_);
    return opens_;
}

std::vector<ReaderEntry> ReplayDriver::ListReaders() {
    return {ReaderEntry{DevicePath, answerToReset_.has_value()}};
}

std::optional<std::string> ReplayDriver::FindDeviceEntry() {
    return DevicePath;
}

int ReplayDriver::OpenRX730X(const std::string &) {
    std::lock_guard lock(mutex_);
    return ++opens_;
}

void ReplayDriver::CloseHandle(int) {}

std::optional<std::vector<uint8_t>> ReplayDriver::SIM_InquiryFunctions(int) {
    return simInquiryBlock();
}

std::optional<ReplayDriver::Bytes> ReplayDriver::transmit(int, const Bytes &command) {
    std::unique_lock lock(mutex_);
    if (exchanges_.empty()) {
        lock.unlock();
        setLastError("The recording has no answer left.");
        return std::nullopt;
    }
    const Exchange next = std::move(exchanges_.front());
    exchanges_.pop_front();
    lock.unlock();
    if (!next.command.empty() && next.command != describeCommand(command)) {
        setLastError("The recording expected " + next.command + ".");
        return std::nullopt;
    }
    if (!next.answer) {
        setLastError("The card does not answer.");
    }
    return next.answer;
}

std::optional<ReplayDriver::Bytes> ReplayDriver::answerToReset(int) {
    if (!answerToReset_) {
        setLastError("There is no card in the reader.");
    }
    return answerToReset_;
}

} // namespace velnor
