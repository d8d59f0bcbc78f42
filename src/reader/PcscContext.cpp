#include "reader/PcscContext.h"

#include <cstdio>

namespace velnor {

LONG PcscContext::establish() {
    release();
    const LONG status = SCardEstablishContext(SCARD_SCOPE_SYSTEM, nullptr, nullptr, &context_);
    valid_ = status == SCARD_S_SUCCESS;
    return status;
}

void PcscContext::release() {
    if (valid_) {
        SCardReleaseContext(context_);
        valid_ = false;
    }
}

namespace {

// The names of a multi-string: texts one after the other, each ended by a zero, then a zero.
std::vector<std::string> splitNames(const std::vector<char> &multiString) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start < multiString.size() && multiString[start] != '\0') {
        std::string name(&multiString[start]);
        start += name.size() + 1;
        names.push_back(std::move(name));
    }
    return names;
}

} // namespace

std::mutex &readerStatesLock() {
    static std::mutex lock;
    return lock;
}

ReaderSnapshot snapshotReaders(SCARDCONTEXT context) {
    std::lock_guard lock(readerStatesLock());
    ReaderSnapshot snapshot;
    DWORD length = 0;
    snapshot.status = SCardListReaders(context, nullptr, nullptr, &length);
    if (snapshot.status != SCARD_S_SUCCESS) {
        return snapshot;
    }
    std::vector<char> multiString(length + 1, '\0');
    snapshot.status = SCardListReaders(context, nullptr, multiString.data(), &length);
    if (snapshot.status != SCARD_S_SUCCESS) {
        return snapshot;
    }
    const std::vector<std::string> names = splitNames(multiString);
    std::vector<SCARD_READERSTATE> states(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        states[i].szReader = names[i].c_str();
        states[i].dwCurrentState = SCARD_STATE_UNAWARE;
    }
    if (!states.empty()) {
        const LONG queried =
            SCardGetStatusChange(context, 0, states.data(), static_cast<DWORD>(states.size()));
        if (queried != SCARD_S_SUCCESS && queried != SCARD_E_TIMEOUT) {
            snapshot.status = queried;
            return snapshot;
        }
    }
    for (size_t i = 0; i < names.size(); ++i) {
        const DWORD state = states[i].dwEventState & ~static_cast<DWORD>(SCARD_STATE_CHANGED);
        snapshot.readers.push_back({names[i], (state & SCARD_STATE_PRESENT) != 0});
        snapshot.states.push_back(state);
    }
    return snapshot;
}

bool cardConnectionLost(LONG status) {
    return status == SCARD_W_REMOVED_CARD || status == SCARD_W_RESET_CARD ||
           status == SCARD_E_NO_SMARTCARD || status == SCARD_W_UNPOWERED_CARD ||
           status == SCARD_W_UNRESPONSIVE_CARD || status == SCARD_E_NOT_TRANSACTED;
}

bool serviceLost(LONG status) {
    return status == SCARD_E_NO_SERVICE || status == SCARD_E_SERVICE_STOPPED ||
           status == SCARD_E_INVALID_HANDLE || status == SCARD_F_COMM_ERROR ||
           status == SCARD_E_READER_UNAVAILABLE || status == SCARD_E_UNKNOWN_READER;
}

std::string describePcscStatus(LONG status) {
    std::string what;
    switch (status) {
    case SCARD_E_NO_SERVICE:
    case SCARD_E_SERVICE_STOPPED:
        what = "pcscd is not running (the PC/SC service cannot be reached)";
        break;
    case SCARD_E_NO_READERS_AVAILABLE:
        what = "no card reader is attached";
        break;
    case SCARD_E_NO_SMARTCARD:
        what = "there is no card in the reader";
        break;
    case SCARD_W_REMOVED_CARD:
        what = "the card was taken out of the reader";
        break;
    case SCARD_W_RESET_CARD:
        what = "another program reset the card";
        break;
    case SCARD_E_SHARING_VIOLATION:
        what = "another program holds the card for itself";
        break;
    case SCARD_E_UNKNOWN_READER:
    case SCARD_E_READER_UNAVAILABLE:
        what = "the reader is not attached";
        break;
    default:
        what = pcsc_stringify_error(status);
        break;
    }
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX",
                  static_cast<unsigned long>(static_cast<DWORD>(status)));
    return what + " (PC/SC " + code + ")";
}

} // namespace velnor
