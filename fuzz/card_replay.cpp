// A card that answers anything: the input is the card's answers, in order, fed through the
// replay driver into opening the card, reading its phonebook and its messages, and the four PIN
// dialogs. The first byte chooses how the user answers (yes or no, codes that fit or not); then
// each answer is a length byte and that many bytes, a length of 0xFF being no answer at all.
// Past the end of the input the card answers nothing. Whatever it answers, nothing crashes,
// hangs or leaks.

#include "FuzzFile.h"
#include "app/PackTexts.h"
#include "card/CardOpening.h"
#include "card/ChvOperations.h"
#include "reader/ReplayDriver.h"
#include "transfer/ReadCard.h"

namespace {

using namespace velnor;

constexpr uint8_t NoAnswer = 0xFF;

// Says yes or no as the first byte chose, and gives each PIN dialog one round of codes before
// it is cancelled, so that no dialog asks for ever.
class FuzzPrompts : public UserPrompts {
public:
    FuzzPrompts(bool yes, bool fitting) : yes_(yes), fitting_(fitting) {}
    bool askYesNo(const Prompt &) override { return yes_; }
    void showMessage(MessageKind, const Prompt &) override {}
    std::optional<std::string> chooseOpenFile(const FileChoice &) override { return {}; }
    std::optional<std::string> chooseSaveFile(const FileChoice &) override { return {}; }
    std::optional<CodeAnswer> askCodes(const CodeRequest &request) override {
        if (++rounds_ % 2 == 0) {
            return std::nullopt;
        }
        const std::string pin = fitting_ ? "1234" : "12";
        const bool two =
            request.dialog == CodeDialog::Change || request.dialog == CodeDialog::Unblock;
        CodeAnswer answer{{request.dialog == CodeDialog::Unblock ? "12345678" : pin}, yes_};
        if (two) {
            answer.codes.push_back(pin);
        }
        return answer;
    }

private:
    bool yes_;
    bool fitting_;
    int rounds_ = 0;
};

struct Quiet : StatusPanes, ProgressSink {
    void showPane(int, const std::string &) override {}
    void begin(const std::string &, const std::string &, int, int) override {}
    void step() override {}
    void pump() override {}
    bool cancelled() const override { return false; }
    void close() override {}
};

std::vector<ReplayDriver::Exchange> answers(const uint8_t *data, size_t size) {
    std::vector<ReplayDriver::Exchange> recorded;
    size_t at = 0;
    while (at < size) {
        const uint8_t length = data[at++];
        if (length == NoAnswer) {
            recorded.push_back({"", std::nullopt});
            continue;
        }
        const size_t taken = std::min<size_t>(length, size - at);
        recorded.push_back({"", ReplayDriver::Bytes(data + at, data + at + taken)});
        at += taken;
    }
    return recorded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const BuiltinEnglishTexts texts;
    static const Timing timing = Timing::none();
    if (size == 0) {
        return 0;
    }
    ReplayDriver driver(answers(data + 1, size - 1));
    FuzzPrompts prompts((data[0] & 1) != 0, (data[0] & 2) != 0);
    Quiet quiet;
    StatusLine status(quiet, texts);
    Session session;
    session.reader.devicePath = ReplayDriver::DevicePath;
    session.reader.readerPresent = true;
    const std::filesystem::path &folder = fuzz::scratchFolder();
    Environment env{driver, prompts, texts, status, quiet, timing, folder, folder};
    CardOpeningContext opening{driver, prompts, texts, status, session.reader, session.card};
    openCard(opening);
    readCard(session, env, CardFile::Phonebook);
    readCard(session, env, CardFile::Messages);
    ChvDialogContext dialogs{driver, prompts, texts, session.reader.devicePath, session.card};
    for (const CodeDialog dialog :
         {CodeDialog::Verify, CodeDialog::Switch, CodeDialog::Change, CodeDialog::Unblock}) {
        runChvDialog(dialogs, dialog);
    }
    return 0;
}
