#include "card/ChvOperations.h"

#include "card/CardHandle.h"
#include "card/FileStatus.h"

namespace velnor {

namespace {

constexpr uint8_t kChv1 = 1;      // P2 naming CHV1 in VERIFY and CHANGE (GSM 11.11, 9.2.9)
constexpr uint8_t kUnblock1 = 0;  // P2 naming CHV1 in UNBLOCK CHV (GSM 11.11, 9.2.13)

const std::string &codeAt(const std::vector<std::string> &codes, size_t index) {
    static const std::string none;
    return index < codes.size() ? codes[index] : none;
}

} // namespace

ChvResult performChv(CUSBOpKrnl &driver, const std::string &devicePath, CardLink &link,
                     const std::string &cardIdentity, ChvOperation operation,
                     const std::vector<std::string> &codes) {
    ChvResult result;
    CardHandle handle(driver, devicePath);
    if (!handle.isOpen()) {
        return result;
    }
    const uint8_t f = link.simFunction;
    const std::string &first = codeAt(codes, 0);
    const std::string &second = codeAt(codes, 1);
    int ok = 0;
    switch (operation) {
    case ChvOperation::Verify:
        ok = driver.VerifyCHV(handle.get(), f, kChv1, first, result.status);
        break;
    case ChvOperation::Enable:
        ok = driver.EnableCHV(handle.get(), f, first, result.status);
        break;
    case ChvOperation::Disable:
        ok = driver.DisableCHV(handle.get(), f, first, result.status);
        break;
    case ChvOperation::Change:
        ok = driver.ChangeCHV(handle.get(), f, kChv1, first, second, result.status);
        break;
    case ChvOperation::Unblock:
        ok = driver.UnblockCHV(handle.get(), f, kUnblock1, first, second, result.status);
        break;
    }
    handle.release();
    result.accepted = ok != 0;
    if (result.accepted) {
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
        link.chv1CodeOwner = cardIdentity;
    }
    return result;
}

int chvFailureTextId(uint8_t status) {
    switch (status) {
    case 0x02:
        return 8002;
    case 0x04:
        return 8003;
    case 0x08:
        return 8004;
    case 0x10:
        return 8005;
    case 0x40:
        return 8006;
    default:
        return 8007;
    }
}

void reportChvFailure(UserPrompts &prompts, const Texts &texts, uint8_t status) {
    const int id = chvFailureTextId(status);
    prompts.showMessage(MessageKind::Error, {id, texts.get(8008), texts.get(id)});
}

int chvAttemptsLeft(CUSBOpKrnl &driver, const std::string &devicePath, uint8_t f, bool unblock) {
    CardHandle handle(driver, devicePath);
    if (!handle.isOpen()) {
        return -1;
    }
    const std::optional<FileStatus> master = selectWithStatus(driver, handle.get(), fid::MasterFile, f);
    if (!master) {
        return -1;
    }
    return unblock ? (master->bytes[19] & 0x0F) : master->chv1AttemptsLeft();
}

bool runChvDialog(ChvDialogContext &context, CodeDialog dialog, bool *switchedOff) {
    for (;;) {
        CodeRequest request;
        request.dialog = dialog;
        request.attemptsLeft = chvAttemptsLeft(context.driver, context.devicePath,
                                               context.link.simFunction, dialog == CodeDialog::Unblock);
        const std::optional<CodeAnswer> answer = context.prompts.askCodes(request);
        if (!answer) {
            return false;
        }
        const std::vector<std::string> &codes = answer->codes;
        ChvOperation operation = ChvOperation::Verify;
        switch (dialog) {
        case CodeDialog::Verify:
            operation = ChvOperation::Verify;
            break;
        case CodeDialog::Switch:
            operation = answer->switchOff ? ChvOperation::Disable : ChvOperation::Enable;
            break;
        case CodeDialog::Change:
            operation = ChvOperation::Change;
            break;
        case CodeDialog::Unblock:
            operation = ChvOperation::Unblock;
            break;
        }
        if ((operation == ChvOperation::Change || operation == ChvOperation::Unblock) &&
            codeAt(codes, 1) != codeAt(codes, 2)) {
            context.prompts.showMessage(MessageKind::Error,
                                        {0, "Error", "The new key you input is not the same"});
            continue;
        }
        const ChvResult result = performChv(context.driver, context.devicePath, context.link,
                                            context.cardIdentity, operation, codes);
        if (result.accepted) {
            if (switchedOff != nullptr) {
                *switchedOff = operation == ChvOperation::Disable;
            }
            return true;
        }
        reportChvFailure(context.prompts, context.texts, result.status);
    }
}

} // namespace velnor
