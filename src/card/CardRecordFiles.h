#pragma once

#include "card/RecordFiles.h"
#include "reader/CUSBOpKrnl.h"
#include "reader/UiccChannel.h"

namespace velnor {

// The files of a GSM SIM through the class A0 commands: every directory of a path is selected in
// turn, the file itself with its status response. `cdma` reads records as a CDMA card keeps them.
class GsmRecordFiles : public RecordFiles {
public:
    GsmRecordFiles(CUSBOpKrnl &driver, int handle, uint8_t simFunction, bool cdma = false)
        : driver_(driver), handle_(handle), f_(simFunction), cdma_(cdma) {}

    std::optional<Shape> select(std::span<const uint16_t> path) override;
    std::optional<Bytes> read(uint8_t number) override;
    bool update(uint8_t number, const Bytes &record) override;

private:
    CUSBOpKrnl &driver_;
    int handle_;
    uint8_t f_;
    bool cdma_;
    uint8_t length_ = 0;
    bool transparent_ = false;
};

// The files of a UICC through class 00: a path is selected at once and read from its FCP
// template. Whether a file may be changed is learnt from the card's answer to the change, as
// the security attributes of TS 102 221, 9.2 have too many forms to judge beforehand.
class UiccRecordFiles : public RecordFiles {
public:
    explicit UiccRecordFiles(UiccChannel &channel) : channel_(channel) {}

    std::optional<Shape> select(std::span<const uint16_t> path) override;
    std::optional<Bytes> read(uint8_t number) override;
    bool update(uint8_t number, const Bytes &record) override;
    std::string error() const override { return channel_.error(); }

private:
    UiccChannel &channel_;
    uint8_t length_ = 0;
    bool transparent_ = false;
};

} // namespace velnor
