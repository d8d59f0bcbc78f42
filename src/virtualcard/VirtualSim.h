#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "virtualcard/CardProfile.h"

namespace velnor {

// A GSM 11.11 card in software: its files, CHV1, and the commands of class A0 a reader sends.
// A profile with UICC settings makes it a UICC that answers class 00 (TS 102 221) as well.
// It knows nothing of where it is kept: a keeper given by its owner is asked to keep every
// change before the card answers. Not thread-safe; its owner serialises the calls.
class VirtualSim {
public:
    explicit VirtualSim(CardProfile profile);

    // Cold reset: the answer to reset, the verification forgotten, the master file selected and
    // the command count back at 0. nullopt when the card is pulled out.
    std::optional<Bytes> powerOn();
    // The answer to reset of the card as it is, powering it on only when it is off.
    std::optional<Bytes> answerToReset();

    // One command (CLA INS P1 P2 P3, then P3 data bytes for commands that send data) in, the
    // response data and SW1 SW2 out. nullopt: the card gives no answer at all (pulled, or a
    // failing quirk). A card that is off is powered on first.
    std::optional<Bytes> transmit(std::span<const uint8_t> command);

    // Asked after every change of records or CHV state, before the card answers; returning
    // false means the change could not be kept: the card takes it back and answers 9240.
    using ChangeKeeper = std::function<bool(const VirtualSim &)>;
    void setChangeKeeper(ChangeKeeper keeper) { keeper_ = std::move(keeper); }

    // The card as a profile: what it holds now, with the quirks as set now.
    CardProfile profile() const;

    const CardQuirks &quirks() const { return quirks_; }
    // Pulling the card out powers it off; a card put back is powered on by the next use.
    void setQuirks(const CardQuirks &quirks);

    // Commands received since power-on, failed ones included; in all and by instruction byte.
    unsigned commandCount() const { return commandCount_; }
    unsigned instructionCount(uint8_t instruction) const { return byInstruction_[instruction]; }

    const ChvState &chv1() const { return chv1_; }

private:
    struct Command {
        uint8_t instruction;
        uint8_t p1;
        uint8_t p2;
        uint8_t p3;
        std::span<const uint8_t> data;
    };

    Bytes carryOut(std::span<const uint8_t> command);
    Bytes process(const Command &command);
    // Class 00 (and 80 for STATUS) of a UICC, with its status words.
    Bytes processUicc(const Command &command);
    Bytes selectUicc(const Command &command);
    std::optional<CardFileSystem::Node> uiccTarget(const Command &command) const;
    // The pending FCP, or 6Cxx with its length when Le asks for another.
    Bytes responseUicc(const Bytes &response, uint8_t le) const;
    // Finds the file a READ or UPDATE names by SFI and selects it; false when there is none.
    bool selectBySfi(uint8_t sfi);
    Bytes recordUicc(const Command &command);
    Bytes binaryUicc(const Command &command);
    Bytes pinUicc(const Command &command);
    Bytes fcpOf(CardFileSystem::Node node) const;

    // File commands.
    Bytes select(const Command &command);
    std::optional<CardFileSystem::Node> selectable(uint16_t id) const;
    Bytes getResponse(const Command &command) const;
    Bytes status(const Command &command) const;
    Bytes readBinary(const Command &command) const;
    Bytes updateBinary(const Command &command);
    Bytes readRecord(const Command &command);
    Bytes updateRecord(const Command &command);
    // The selected elementary file of a structure, or the status word that refuses it.
    uint16_t checkFile(EfStructure structure, AccessCondition FileDescription::*access) const;
    // The record a READ or UPDATE RECORD names (GSM 11.11, 9.2.4): its number or 0.
    size_t recordNumber(const Command &command, size_t recordCount) const;
    // Checks the addressing of a READ or UPDATE RECORD and finds its record number; Ok or the
    // status word that refuses it.
    uint16_t addressRecord(const Command &command, const FileDescription &file,
                           size_t &number) const;

    // CHV commands.
    Bytes verifyChv(const Command &command);
    Bytes changeChv(const Command &command);
    Bytes disableChv(const Command &command);
    Bytes enableChv(const Command &command);
    Bytes unblockChv(const Command &command);
    // Runs a CHV operation and keeps what it changed.
    Bytes chvOperation(const std::function<uint16_t()> &operation);

    // Asks the keeper to keep a change; false after it has been taken back with undo.
    bool keep(const std::function<void()> &undo);
    bool accessible(AccessCondition condition) const;

    Bytes atr_;
    ChvState chv1_;
    CardFileSystem files_;
    CardQuirks quirks_;
    std::optional<UiccSettings> uicc_;
    ChangeKeeper keeper_;

    bool powered_ = false;
    unsigned commandCount_ = 0;
    std::array<unsigned, 256> byInstruction_{};
    CardFileSystem::Node currentDirectory_ = CardFileSystem::Master;
    std::optional<CardFileSystem::Node> currentEf_;
    size_t recordPointer_ = 0; // 0: not set since the selection
    Bytes uiccResponse_;       // the FCP a class 00 SELECT announced with 61xx
};

// Response helpers: the data followed by the status word.
Bytes cardAnswer(uint16_t statusWord, const Bytes &data = {});

} // namespace velnor
