#include <array>
#include <ostream>

#include "base/TextIds.h"
#include "card/ChvOperations.h"
#include "card/UsimApplication.h"
#include "cli/Commands.h"
#include "cli/Console.h"
#include "reader/CardHandle.h"
#include "reader/CardTransaction.h"
#include "reader/ReaderInquiry.h"

namespace velnor::cli {

namespace {

struct PinRequest {
    CodeDialog dialog = CodeDialog::Verify;
    CodeAnswer answer;
};

// "pin verify CODE", "pin enable CODE", "pin disable CODE", "pin change OLD NEW",
// "pin unblock UNBLOCKCODE NEW"; the new code is its own repetition, as typed twice.
std::optional<PinRequest> parsePinWords(const std::vector<std::string> &words) {
    if (words.size() < 2) {
        return std::nullopt;
    }
    const std::string &what = words[1];
    PinRequest request;
    if ((what == "verify" || what == "enable" || what == "disable") && words.size() == 3) {
        request.dialog = what == "verify" ? CodeDialog::Verify : CodeDialog::Switch;
        request.answer = {{words[2]}, what == "disable"};
        return request;
    }
    if ((what == "change" || what == "unblock") && words.size() == 4) {
        request.dialog = what == "change" ? CodeDialog::Change : CodeDialog::Unblock;
        request.answer = {{words[2], words[3], words[3]}, false};
        return request;
    }
    return std::nullopt;
}

// What the window's information box says after the operation.
int doneTextId(const PinRequest &request) {
    switch (request.dialog) {
    case CodeDialog::Switch:
        return request.answer.switchOff ? text::PinSwitchedOff : text::PinSwitchedOn;
    case CodeDialog::Change:
        return text::PinChanged;
    case CodeDialog::Unblock:
        return text::PinUnblocked;
    case CodeDialog::Verify:
        break;
    }
    return 0;
}

} // namespace

int runPin(Context &context) {
    const std::optional<PinRequest> request = parsePinWords(context.options.words);
    if (!request) {
        return fail(context, Usage,
                    "Use pin verify CODE, pin enable CODE, pin disable CODE, pin change OLD NEW "
                    "or pin unblock UNBLOCKCODE NEW.");
    }
    const std::unique_ptr<CUSBOpKrnl> driver = context.makeDriver();
    int status = Done;
    const std::optional<ReaderChoice> reader = chooseReader(context, *driver, status);
    if (!reader) {
        return status;
    }
    CardLink link;
    link.simFunction = reader->inquiry.simFunction.value_or(0);
    {
        CardHandle handle(*driver, reader->path);
        CardTransaction transaction(*driver, handle.get());
        std::array<uint8_t, 64> atr{};
        if (!handle.isOpen() ||
            driver->GetATRValue(handle.get(), atr.data(), link.simFunction) == 0) {
            return fail(context, NoCard, "There is no card in the reader " + reader->path + ".");
        }
        // A USIM-only card takes its PIN through class 00.
        learnCardKind(*driver, handle.get(), link);
    }
    ConsolePrompts prompts(context.err, context.options.answer, std::nullopt);
    prompts.answerOnce(request->dialog, request->answer);
    ChvDialogContext dialog{*driver, prompts, context.texts, reader->path, link};
    // The dialog offers the codes once; a refusal is reported and ends it, as a cancel would.
    if (!runChvDialog(dialog, request->dialog)) {
        return prompts.refused() ? Refused : fail(context, Refused, "The card does not answer.");
    }
    const int done = doneTextId(*request);
    context.out << (done != 0 ? context.texts.get(done) : std::string("The card accepted the PIN."))
                << '\n';
    return Done;
}

} // namespace velnor::cli
