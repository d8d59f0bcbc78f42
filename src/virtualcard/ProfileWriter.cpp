#include <algorithm>

#include <nlohmann/json.hpp>

#include "codec/CMyTools.h"
#include "virtualcard/ProfileFormat.h"
#include "virtualcard/ProfileJson.h"

namespace velnor {

namespace {

using ordered_json = nlohmann::ordered_json;

std::string hexText(const Bytes &bytes) {
    return CMyTools::hex2asc(bytes.data(), bytes.size());
}

Bytes withoutTrailing(Bytes bytes, uint8_t fill) {
    while (!bytes.empty() && bytes.back() == fill) {
        bytes.pop_back();
    }
    return bytes;
}

// A code as text when it is printable ASCII, else as hexadecimal bytes.
void writeCode(ordered_json &object, const std::string &key, const ChvCode &code) {
    const Bytes bytes = withoutTrailing(Bytes(code.begin(), code.end()), 0xFF);
    const bool printable = std::all_of(bytes.begin(), bytes.end(),
                                       [](uint8_t byte) { return byte >= 0x20 && byte < 0x7F; });
    if (printable && !bytes.empty()) {
        object[key] = std::string(bytes.begin(), bytes.end());
    } else {
        object[key + "Hex"] = hexText(bytes);
    }
}

// CHV1 of a GSM card; a UICC's PIN1 names its unblock code "puk".
ordered_json chv1Json(const ChvState::Settings &chv, const std::string &unblock = "unblockCode") {
    const bool puk = unblock == "puk";
    ordered_json object;
    object["enabled"] = chv.enabled;
    writeCode(object, "code", chv.code);
    object["attempts"] = chv.attemptsLeft;
    object["maxAttempts"] = chv.maxAttempts;
    writeCode(object, unblock, chv.unblockCode);
    object[puk ? "pukAttempts" : "unblockAttempts"] = chv.unblockAttemptsLeft;
    object[puk ? "pukMaxAttempts" : "unblockMaxAttempts"] = chv.unblockMaxAttempts;
    return object;
}

ordered_json fileJson(const CardFileSystem &files, CardFileSystem::Node node) {
    const FileDescription &file = files.description(node);
    ordered_json object;
    object["path"] = files.pathText(node);
    if (file.isDirectory()) {
        return object;
    }
    if (const auto target = files.linkTarget(node)) {
        object["sameAs"] = files.pathText(*target);
        return object;
    }
    const bool inMasterFile = files.parent(node) == CardFileSystem::Master;
    const Bytes &content = files.content(node);
    if (file.structure == EfStructure::LinearFixed) {
        object["recordLength"] = file.recordLength;
        object["recordCount"] = file.recordCount;
    }
    if (file.fill != profile::DefaultFill) {
        object["fill"] = hexText(Bytes{file.fill});
    }
    if (file.read != profile::defaultReadAccess(inMasterFile)) {
        object["read"] = profile::accessName(file.read);
    }
    if (file.update != profile::defaultUpdateAccess(inMasterFile)) {
        object["update"] = profile::accessName(file.update);
    }
    if (file.invalidated) {
        object["invalidated"] = true;
    }
    if (file.sfi != 0) {
        object["sfi"] = hexText(Bytes{file.sfi});
    }
    if (file.structure == EfStructure::Transparent) {
        const Bytes data = withoutTrailing(content, file.fill);
        object["data"] = hexText(data);
        if (data.size() != file.transparentSize) {
            object["size"] = file.transparentSize;
        }
        return object;
    }
    std::vector<std::string> records;
    size_t used = 0;
    for (size_t number = 1; number <= file.recordCount; ++number) {
        records.push_back(hexText(withoutTrailing(*files.record(node, number), file.fill)));
        if (!records.back().empty()) {
            used = number;
        }
    }
    records.resize(used);
    object["records"] = records;
    return object;
}

} // namespace

std::string writeCardProfile(const CardProfile &profile) {
    ordered_json document;
    document["atr"] = hexText(profile.atr);
    if (profile.uicc) {
        ordered_json uicc;
        uicc["classA0"] = profile.uicc->classA0;
        uicc["aid"] = hexText(profile.uicc->aid);
        if (profile.chv1.initialised) {
            uicc["pin1"] = chv1Json(profile.chv1, "puk");
        }
        document["uicc"] = uicc;
    } else if (profile.chv1.initialised) {
        document["chv1"] = chv1Json(profile.chv1);
    }
    ordered_json files = ordered_json::array();
    for (CardFileSystem::Node node = 1; node < profile.files.nodeCount(); ++node) {
        files.push_back(fileJson(profile.files, node));
    }
    document["files"] = files;
    const CardQuirks &quirks = profile.quirks;
    if (quirks != CardQuirks()) {
        document["quirks"] = {{"drops82Coding", quirks.drops82Coding},
                              {"failAfterCommands", quirks.failAfterCommands},
                              {"failAtCommand", quirks.failAtCommand},
                              {"loseAnswerAtCommand", quirks.loseAnswerAtCommand},
                              {"pulled", quirks.pulled},
                              {"answerDelayMs", quirks.answerDelayMs}};
    }
    return document.dump(2) + "\n";
}

} // namespace velnor
