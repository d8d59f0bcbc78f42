#include "card/ChvOperations.h"

#include <algorithm>

#include "base/TextIds.h"
#include "card/CardIdentity.h"
#include "card/FileStatus.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"
#include "reader/Instructions.h"
#include "reader/UiccChannel.h"

namespace velnor {

namespace {

constexpr uint8_t kChv1 = 1;     // P2 naming CHV1 in VERIFY and CHANGE (GSM 11.11, 9.2.9)
constexpr uint8_t kUnblock1 = 0; // P2 naming CHV1 in UNBLOCK CHV (GSM 11.11, 9.2.13)
constexpr uint8_t kUsimPin1 = 1; // P2 naming PIN1 in every PIN command of a UICC

const std::string &codeAt(const std::vector<std::string> &codes, size_t index) {
    static const std::string none;
    return index < codes.size() ? codes[index] : none;
}

// Instructions of the PIN commands (GSM 11.11, 9.2; TS 102 221, 10.1.2).
uint8_t instructionOf(ChvOperation operation) {
    switch (operation) {
    case ChvOperation::Verify:
        return ins::Verify;
    case ChvOperation::Change:
        return ins::Change;
    case ChvOperation::Disable:
        return ins::Disable;
    case ChvOperation::Enable:
        return ins::Enable;
    case ChvOperation::Unblock:
        break;
    }
    return ins::Unblock;
}

// PIN1 of a USIM (key reference 01, TS 102 221, 9.5.1) is checked in its application: the ADF
// is selected first.
int runUiccOperation(CUSBOpKrnl &driver, int h, const CardLink &link, ChvOperation operation,
                     const std::vector<std::string> &codes, uint8_t &status) {
    status = 0;
    UiccChannel channel(driver, h);
    if (!channel.selectAid(link.usimAid)) {
        return 0;
    }
    return channel.pinCommand(instructionOf(operation), kUsimPin1, codes, status);
}

int runOperation(CUSBOpKrnl &driver, int h, const CardLink &link, ChvOperation operation,
                 const std::string &first, const std::string &second, uint8_t &status) {
    if (link.cardKind != CardKind::GsmSim) {
        std::vector<std::string> codes{first};
        if (operation == ChvOperation::Change || operation == ChvOperation::Unblock) {
            codes.push_back(second);
        }
        return runUiccOperation(driver, h, link, operation, codes, status);
    }
    const uint8_t f = link.simFunction;
    switch (operation) {
    case ChvOperation::Verify:
        return driver.VerifyCHV(h, f, kChv1, first, status);
    case ChvOperation::Enable:
        return driver.EnableCHV(h, f, first, status);
    case ChvOperation::Disable:
        return driver.DisableCHV(h, f, first, status);
    case ChvOperation::Change:
        return driver.ChangeCHV(h, f, kChv1, first, second, status);
    case ChvOperation::Unblock:
        return driver.UnblockCHV(h, f, kUnblock1, first, second, status);
    }
    return 0;
}

bool isCode(const std::string &code, size_t shortest, size_t longest) {
    return code.size() >= shortest && code.size() <= longest &&
           std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
}

ChvOperation operationOf(CodeDialog dialog, bool switchOff) {
    switch (dialog) {
    case CodeDialog::Switch:
        return switchOff ? ChvOperation::Disable : ChvOperation::Enable;
    case CodeDialog::Change:
        return ChvOperation::Change;
    case CodeDialog::Unblock:
        return ChvOperation::Unblock;
    case CodeDialog::Verify:
        break;
    }
    return ChvOperation::Verify;
}

} // namespace

bool chvCodesFit(ChvOperation operation, const std::vector<std::string> &codes) {
    constexpr size_t kShortest = 4;
    constexpr size_t kLongest = 8;
    switch (operation) {
    case ChvOperation::Change:
        return isCode(codeAt(codes, 0), kShortest, kLongest) &&
               isCode(codeAt(codes, 1), kShortest, kLongest);
    case ChvOperation::Unblock:
        return isCode(codeAt(codes, 0), kLongest, kLongest) &&
               isCode(codeAt(codes, 1), kShortest, kLongest);
    case ChvOperation::Verify:
    case ChvOperation::Enable:
    case ChvOperation::Disable:
        break;
    }
    return isCode(codeAt(codes, 0), kShortest, kLongest);
}

ChvResult performChv(CUSBOpKrnl &driver, const std::string &devicePath, CardLink &link,
                     ChvOperation operation, const std::vector<std::string> &codes) {
    ChvResult result;
    if (!chvCodesFit(operation, codes)) {
        result.malformed = true;
        return result;
    }
    CardHandle handle(driver, devicePath);
    if (!handle.isOpen()) {
        return result;
    }
    const std::string &first = codeAt(codes, 0);
    const std::string &second = codeAt(codes, 1);
    std::string identity;
    {
        CardTransaction transaction(driver, handle.get());
        identity = readCardIdentity(driver, handle.get(), link);
        result.accepted =
            runOperation(driver, handle.get(), link, operation, first, second, result.status) != 0;
    }
    handle.release();
    if (!result.accepted) {
        // No answer is no refusal: the card may have taken the new code and lost its answer.
        // Offering the old code later would cost an attempt, so the user is asked instead.
        if (result.status == 0 &&
            (operation == ChvOperation::Change || operation == ChvOperation::Unblock)) {
            link.chv1Code.clear();
        }
        return result;
    }
    switch (operation) {
    case ChvOperation::Verify:
    case ChvOperation::Enable:
        link.chv1Code = first;
        break;
    case ChvOperation::Disable:
        link.chv1Code.clear();
        break;
    case ChvOperation::Change:
    case ChvOperation::Unblock:
        link.chv1Code = second;
        break;
    }
    link.chv1CodeOwner = identity;
    return result;
}

bool presentStoredChv1(CUSBOpKrnl &driver, int handle, const CardLink &link) {
    if (link.chv1Code.empty()) {
        return false; // an empty code can never be right; offering it would only cost an attempt
    }
    CardTransaction transaction(driver, handle);
    if (readCardIdentity(driver, handle, link) != link.chv1CodeOwner) {
        return false;
    }
    uint8_t status = 0;
    return runOperation(driver, handle, link, ChvOperation::Verify, link.chv1Code, std::string(),
                        status) != 0;
}

int chvFailureTextId(uint8_t status) {
    switch (status) {
    case 0x02:
        return text::NoPinSetUp;
    case 0x04:
        return text::WrongPin;
    case 0x08:
        return text::PinStateConflict;
    case 0x10:
        return text::FileInvalidationConflict;
    case 0x40:
        return text::PinNowBlocked;
    default:
        return text::PinOperationRefused;
    }
}

void reportChvFailure(UserPrompts &prompts, const Texts &texts, uint8_t status) {
    const int id = chvFailureTextId(status);
    prompts.showMessage(MessageKind::Error, {id, texts.get(text::PinCaption), texts.get(id)});
}

int chvAttemptsLeft(CUSBOpKrnl &driver, const std::string &devicePath, uint8_t f, bool unblock) {
    CardHandle handle(driver, devicePath);
    if (!handle.isOpen()) {
        return -1;
    }
    CardTransaction transaction(driver, handle.get());
    const std::optional<FileStatus> master = selectWithStatus(driver, handle.get(), df::Master, f);
    if (!master) {
        return -1;
    }
    // GSM 11.11, 9.2.1: byte 19 is the status of the unblock code, like byte 18 of CHV1.
    return unblock ? (master->bytes[19] & 0x0F) : master->chv1AttemptsLeft();
}

int chvAttemptsLeft(CUSBOpKrnl &driver, const std::string &devicePath, const CardLink &link,
                    bool unblock) {
    if (link.cardKind == CardKind::GsmSim) {
        return chvAttemptsLeft(driver, devicePath, link.simFunction, unblock);
    }
    CardHandle handle(driver, devicePath);
    if (!handle.isOpen()) {
        return -1;
    }
    CardTransaction transaction(driver, handle.get());
    UiccChannel channel(driver, handle.get());
    if (!channel.selectAid(link.usimAid)) {
        return -1;
    }
    return channel.attemptsLeft(
        instructionOf(unblock ? ChvOperation::Unblock : ChvOperation::Verify), kUsimPin1);
}

bool runChvDialog(ChvDialogContext &context, CodeDialog dialog, bool *switchedOff) {
    for (;;) {
        CodeRequest request;
        request.dialog = dialog;
        request.attemptsLeft = chvAttemptsLeft(context.driver, context.devicePath, context.link,
                                               dialog == CodeDialog::Unblock);
        const std::optional<CodeAnswer> answer = context.prompts.askCodes(request);
        if (!answer) {
            return false;
        }
        const ChvOperation operation = operationOf(dialog, answer->switchOff);
        const std::vector<std::string> &codes = answer->codes;
        if ((operation == ChvOperation::Change || operation == ChvOperation::Unblock) &&
            codeAt(codes, 1) != codeAt(codes, 2)) {
            context.prompts.showMessage(MessageKind::Error,
                                        {0, "Error", "The new key you input is not the same"});
            continue;
        }
        const ChvResult result =
            performChv(context.driver, context.devicePath, context.link, operation, codes);
        if (result.accepted) {
            if (switchedOff != nullptr) {
                *switchedOff = operation == ChvOperation::Disable;
            }
            return true;
        }
        if (result.malformed) {
            context.prompts.showMessage(MessageKind::Error,
                                        {text::PinDigits, context.texts.get(text::PinCaption),
                                         context.texts.get(text::PinDigits)});
        } else {
            reportChvFailure(context.prompts, context.texts, result.status);
        }
    }
}

} // namespace velnor
