#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <set>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "codec/CMyTools.h"
#include "virtualcard/AnswerToReset.h"
#include "virtualcard/ProfileFormat.h"
#include "virtualcard/ProfileJson.h"

namespace velnor {

namespace {

using nlohmann::json;

// The demo card's answer to reset as profiles written by earlier versions carry it: without its
// last historical byte and its check byte. Such cards get the complete one.
constexpr std::string_view ShortDemoAtrHex = "3B9F95801FC78031E073FE211B63E208A8830090";

// Thrown inside the reader only; parseCardProfile turns it into its error text.
struct ProfileError {
    std::string message;
};

[[noreturn]] void fail(const std::string &message) {
    throw ProfileError{message};
}

std::string inQuotes(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Reads the members of one JSON object that may hold only the members it is told of.
class Members {
public:
    // Refuses an object with a member outside `allowed`, before anything else is looked at.
    Members(const json &object, std::string where, std::initializer_list<std::string_view> allowed)
        : object_(object), where_(std::move(where)) {
        if (!object_.is_object()) {
            fail(where_ + " is not a JSON object.");
        }
        for (const auto &[key, value] : object_.items()) {
            if (std::find(allowed.begin(), allowed.end(), key) == allowed.end()) {
                fail(where_ + ": unknown member " + inQuotes(key) + ".");
            }
        }
    }

    const json *find(const std::string &key) const {
        const auto it = object_.find(key);
        return it == object_.end() ? nullptr : &*it;
    }

    std::optional<std::string> text(const std::string &key) {
        const json *value = find(key);
        if (value == nullptr) {
            return std::nullopt;
        }
        if (!value->is_string()) {
            fail(where_ + ": " + inQuotes(key) + " is not a text.");
        }
        return value->get<std::string>();
    }

    std::optional<bool> flag(const std::string &key) {
        const json *value = find(key);
        if (value == nullptr) {
            return std::nullopt;
        }
        if (!value->is_boolean()) {
            fail(where_ + ": " + inQuotes(key) + " is not true or false.");
        }
        return value->get<bool>();
    }

    std::optional<unsigned> number(const std::string &key, unsigned low, unsigned high) {
        const json *value = find(key);
        if (value == nullptr) {
            return std::nullopt;
        }
        if (!value->is_number_unsigned() || value->get<uint64_t>() < low ||
            value->get<uint64_t>() > high) {
            fail(where_ + ": " + inQuotes(key) + " is not a whole number from " +
                 std::to_string(low) + " to " + std::to_string(high) + ".");
        }
        return static_cast<unsigned>(value->get<uint64_t>());
    }

    std::optional<Bytes> hex(const std::string &key) {
        const auto value = text(key);
        if (!value) {
            return std::nullopt;
        }
        return hexBytes(*value, inQuotes(key));
    }

    Bytes hexBytes(const std::string &value, const std::string &what) const {
        auto bytes = CMyTools::asc2hex(value);
        if (!bytes) {
            fail(where_ + ": " + what + " is not hexadecimal bytes.");
        }
        return *bytes;
    }

    const std::string &where() const { return where_; }

private:
    const json &object_;
    std::string where_;
};

ChvCode readCode(Members &members, const std::string &key) {
    const auto text = members.text(key);
    const auto hex = members.hex(key + "Hex");
    if (text && hex) {
        fail(members.where() + ": give " + inQuotes(key) + " or " + inQuotes(key + "Hex") +
             ", not both.");
    }
    if (!text && !hex) {
        fail(members.where() + ": " + inQuotes(key) + " is missing.");
    }
    const std::string code = text ? *text : std::string(hex->begin(), hex->end());
    if (code.size() > 8) {
        fail(members.where() + ": " + inQuotes(key) + " is longer than 8 characters.");
    }
    return chvCodeFromText(code);
}

// CHV1 of a GSM card ("chv1") or PIN1 of a UICC ("uicc"/"pin1", its unblock code the PUK).
ChvState::Settings readChv1(const json &value, const std::string &where = "CHV1",
                            const std::string &unblock = "unblockCode") {
    const std::string attempts = unblock == "puk" ? "pukAttempts" : "unblockAttempts";
    const std::string maxAttempts = unblock == "puk" ? "pukMaxAttempts" : "unblockMaxAttempts";
    Members members(value, where,
                    {"enabled", "code", "codeHex", "attempts", "maxAttempts", unblock,
                     unblock + "Hex", attempts, maxAttempts});
    ChvState::Settings chv;
    chv.initialised = true;
    chv.enabled = members.flag("enabled").value_or(true);
    chv.code = readCode(members, "code");
    chv.unblockCode = readCode(members, unblock);
    chv.maxAttempts =
        static_cast<uint8_t>(members.number("maxAttempts", 1, profile::MaxAttempts).value_or(3));
    chv.attemptsLeft = static_cast<uint8_t>(
        members.number("attempts", 0, chv.maxAttempts).value_or(chv.maxAttempts));
    chv.unblockMaxAttempts =
        static_cast<uint8_t>(members.number(maxAttempts, 1, profile::MaxAttempts).value_or(10));
    chv.unblockAttemptsLeft = static_cast<uint8_t>(
        members.number(attempts, 0, chv.unblockMaxAttempts).value_or(chv.unblockMaxAttempts));
    return chv;
}

UiccSettings readUicc(const json &value, ChvState::Settings &pin1) {
    Members members(value, "UICC", {"classA0", "aid", "pin1"});
    UiccSettings uicc;
    uicc.classA0 = members.flag("classA0").value_or(true);
    const auto aid = members.hex("aid");
    // ISO/IEC 7816-4, 8.2.1.2: an AID is a 5-byte registered identifier and up to 11 more.
    if (!aid || aid->size() < 5 || aid->size() > 16) {
        fail("UICC: \"aid\" must be 5 to 16 hexadecimal bytes.");
    }
    uicc.aid = *aid;
    if (const json *pin = members.find("pin1")) {
        pin1 = readChv1(*pin, "PIN1", "puk");
    }
    return uicc;
}

CardQuirks readQuirks(const json &value) {
    Members members(value, "Quirks",
                    {"drops82Coding", "failAfterCommands", "failAtCommand", "loseAnswerAtCommand",
                     "pulled", "answerDelayMs"});
    CardQuirks quirks;
    quirks.drops82Coding = members.flag("drops82Coding").value_or(false);
    quirks.failAfterCommands = members.number("failAfterCommands", 0, 1u << 30).value_or(0);
    quirks.failAtCommand = members.number("failAtCommand", 0, 1u << 30).value_or(0);
    quirks.loseAnswerAtCommand = members.number("loseAnswerAtCommand", 0, 1u << 30).value_or(0);
    quirks.pulled = members.flag("pulled").value_or(false);
    quirks.answerDelayMs =
        members.number("answerDelayMs", 0, profile::MaxAnswerDelayMs).value_or(0);
    return quirks;
}

AccessCondition readAccess(Members &members, const std::string &key, AccessCondition fallback) {
    const auto name = members.text(key);
    if (!name) {
        return fallback;
    }
    const auto condition = profile::accessFromName(*name);
    if (!condition) {
        fail(members.where() + ": " + inQuotes(key) +
             " must be one of \"ALW\", \"CHV1\", \"CHV2\", \"ADM\", \"NEV\".");
    }
    return *condition;
}

// The directory that holds the last identifier of a path, made on the way where missing.
CardFileSystem::Node directoryFor(CardFileSystem &files, const std::vector<uint16_t> &ids,
                                  const std::string &where) {
    CardFileSystem::Node node = CardFileSystem::Master;
    for (size_t i = 1; i + 1 < ids.size(); ++i) {
        if (const auto existing = files.child(node, ids[i])) {
            if (!files.description(*existing).isDirectory()) {
                fail(where + ": " + files.pathText(*existing) + " is not a directory.");
            }
            node = *existing;
            continue;
        }
        if (!isDirectoryId(ids[i]) || ids[i] == CardFileSystem::MasterId) {
            fail(where + ": the path goes through " + formatFilePath({ids[i]}) +
                 ", which cannot be a directory (directories are 7Fxx or 5Fxx).");
        }
        FileDescription directory;
        directory.id = ids[i];
        directory.kind = FileKind::Dedicated;
        node = *files.add(node, directory);
    }
    return node;
}

void readLinearFixed(Members &members, FileDescription &file, unsigned recordLength,
                     std::vector<Bytes> &records) {
    file.structure = EfStructure::LinearFixed;
    file.recordLength = recordLength;
    if (members.find("data") != nullptr || members.find("size") != nullptr) {
        fail(members.where() + ": a file with \"recordLength\" takes \"records\", not "
                               "\"data\" or \"size\".");
    }
    if (const json *list = members.find("records")) {
        if (!list->is_array()) {
            fail(members.where() + ": \"records\" is not a list.");
        }
        for (size_t i = 0; i < list->size(); ++i) {
            const std::string what = "record " + std::to_string(i + 1);
            if (!(*list)[i].is_string()) {
                fail(members.where() + ": " + what + " is not a text.");
            }
            Bytes record = members.hexBytes((*list)[i].get<std::string>(), what);
            if (record.size() > recordLength) {
                fail(members.where() + ": " + what + " is " + std::to_string(record.size()) +
                     " bytes long, longer than the record length " + std::to_string(recordLength) +
                     ".");
            }
            record.resize(recordLength, file.fill);
            records.push_back(std::move(record));
        }
    }
    if (records.size() > profile::MaxRecordCount) {
        fail(members.where() + ": there are " + std::to_string(records.size()) +
             " records, more than a file can have (" + std::to_string(profile::MaxRecordCount) +
             ").");
    }
    file.recordCount =
        members.number("recordCount", 0, profile::MaxRecordCount).value_or(records.size());
    if (records.size() > file.recordCount) {
        fail(members.where() + ": there are " + std::to_string(records.size()) +
             " records, more than \"recordCount\" " + std::to_string(file.recordCount) + ".");
    }
}

void readTransparent(Members &members, FileDescription &file, Bytes &data) {
    file.structure = EfStructure::Transparent;
    if (members.find("records") != nullptr || members.find("recordCount") != nullptr) {
        fail(members.where() + ": \"records\" and \"recordCount\" need \"recordLength\".");
    }
    data = members.hex("data").value_or(Bytes());
    const auto size = members.number("size", 0, profile::MaxTransparentSize);
    if (!size && members.find("data") == nullptr) {
        fail(members.where() + ": an elementary file needs \"data\", \"size\" or "
                               "\"recordLength\".");
    }
    if (data.size() > profile::MaxTransparentSize) {
        fail(members.where() + ": \"data\" is longer than " +
             std::to_string(profile::MaxTransparentSize) + " bytes.");
    }
    file.transparentSize = size.value_or(data.size());
    if (data.size() > file.transparentSize) {
        fail(members.where() + ": \"data\" is longer than \"size\".");
    }
    data.resize(file.transparentSize, file.fill);
}

void readFile(CardFileSystem &files, std::set<std::string> &listed, const json &value,
              size_t index) {
    const std::string entry = "Entry " + std::to_string(index + 1) + " of \"files\"";
    if (!value.is_object()) {
        fail(entry + " is not a JSON object.");
    }
    const auto pathValue = value.find("path");
    if (pathValue == value.end()) {
        fail(entry + " has no \"path\".");
    }
    const std::string pathText = pathValue->is_string() ? pathValue->get<std::string>() : "";
    const auto ids = parseFilePath(pathText);
    if (!ids || ids->size() < 2 || ids->front() != CardFileSystem::MasterId) {
        fail(entry + ": the path " + inQuotes(pathText) +
             " is not of the form \"3F00/7F10/6F3A\" (four hex digits a part, from 3F00).");
    }
    const std::string where = "File " + formatFilePath(*ids);
    if (!listed.insert(formatFilePath(*ids)).second) {
        fail(where + " is listed twice.");
    }
    const CardFileSystem::Node parent = directoryFor(files, *ids, where);
    const uint16_t id = ids->back();
    if (value.contains("sameAs")) {
        Members members(value, where, {"path", "sameAs"});
        const auto targetIds = parseFilePath(members.text("sameAs").value_or(""));
        const auto target = targetIds ? files.find(*targetIds) : std::nullopt;
        if (!target || !files.addLink(parent, id, *target)) {
            fail(where + ": \"sameAs\" must name an elementary file listed before it.");
        }
        return;
    }

    if (isDirectoryId(id)) {
        if (id == CardFileSystem::MasterId) {
            fail(where + ": the master file can only be the first part of a path.");
        }
        Members(value, where, {"path"});
        if (!files.child(parent, id)) { // else made on the way to a file listed before
            FileDescription directory;
            directory.id = id;
            directory.kind = FileKind::Dedicated;
            files.add(parent, directory);
        }
        return;
    }

    Members members(value, where,
                    {"path", "data", "size", "recordLength", "recordCount", "records", "fill",
                     "read", "update", "invalidated", "sfi"});
    FileDescription file;
    file.id = id;
    const bool inMasterFile = parent == CardFileSystem::Master;
    if (const auto fill = members.hex("fill")) {
        if (fill->size() != 1) {
            fail(where + ": \"fill\" must be one byte, such as \"FF\".");
        }
        file.fill = fill->front();
    }
    file.read = readAccess(members, "read", profile::defaultReadAccess(inMasterFile));
    file.update = readAccess(members, "update", profile::defaultUpdateAccess(inMasterFile));
    file.invalidated = members.flag("invalidated").value_or(false);
    if (const auto sfi = members.hex("sfi")) {
        // TS 102 221, 8.3: five bits, 1 to 30.
        if (sfi->size() != 1 || sfi->front() == 0 || sfi->front() > 30) {
            fail(where + ": \"sfi\" must be one byte from 01 to 1E.");
        }
        file.sfi = sfi->front();
    }

    std::vector<Bytes> records;
    Bytes data;
    if (const auto recordLength = members.number("recordLength", 1, profile::MaxRecordLength)) {
        readLinearFixed(members, file, *recordLength, records);
    } else {
        readTransparent(members, file, data);
    }
    const auto node = files.add(parent, file);
    if (!node) {
        fail(where + " is listed twice.");
    }
    for (size_t i = 0; i < records.size(); ++i) {
        files.setRecord(*node, i + 1, records[i]);
    }
    if (file.structure == EfStructure::Transparent) {
        files.setContent(*node, data);
    }
}

CardProfile readProfile(const json &document) {
    Members members(document, "The card profile", {"atr", "chv1", "files", "quirks", "uicc"});
    CardProfile profile;
    profile.atr = members.hex("atr").value_or(*CMyTools::asc2hex(DefaultAtrHex));
    if (profile.atr == *CMyTools::asc2hex(ShortDemoAtrHex)) {
        profile.atr = *CMyTools::asc2hex(DefaultAtrHex);
    }
    if (const std::string fault = answerToResetFault(profile.atr); !fault.empty()) {
        fail("The card profile: \"atr\" " + fault + ".");
    }
    if (const json *chv1 = members.find("chv1")) {
        profile.chv1 = readChv1(*chv1);
    }
    if (const json *quirks = members.find("quirks")) {
        profile.quirks = readQuirks(*quirks);
    }
    if (const json *uicc = members.find("uicc")) {
        if (members.find("chv1") != nullptr && uicc->contains("pin1")) {
            fail("The card profile: give \"chv1\" or the UICC's \"pin1\", not both.");
        }
        profile.uicc = readUicc(*uicc, profile.chv1);
    }
    if (const json *files = members.find("files")) {
        if (!files->is_array()) {
            fail("The card profile: \"files\" is not a list.");
        }
        std::set<std::string> listed;
        for (size_t i = 0; i < files->size(); ++i) {
            readFile(profile.files, listed, (*files)[i], i);
        }
    }
    if (profile.uicc) {
        profile::addUiccFiles(profile.files, *profile.uicc);
    }
    return profile;
}

// Line and column of a byte offset, both from 1.
std::string position(std::string_view text, size_t offset) {
    size_t line = 1;
    size_t column = 1;
    for (size_t i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

} // namespace

ProfileResult parseCardProfile(std::string_view jsonText) {
    ProfileResult result;
    json document;
    try {
        document = json::parse(jsonText);
    } catch (const json::parse_error &e) {
        const size_t offset = e.byte == 0 ? 0 : e.byte - 1;
        result.error = "The card profile is not valid JSON (" + position(jsonText, offset) + ").";
        return result;
    } catch (const json::exception &) {
        // The text is JSON, but a value in it is not one the reader can hold.
        result.error = "The card profile holds a number too large to read.";
        return result;
    }
    try {
        result.profile = readProfile(document);
    } catch (const ProfileError &e) {
        result.error = e.message;
    } catch (const std::exception &e) {
        result.error = std::string("The card profile cannot be read: ") + e.what() + ".";
    }
    return result;
}

ProfileResult loadCardProfile(const std::filesystem::path &path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        return {std::nullopt,
                "The card profile " + path.string() + " cannot be opened: " + std::strerror(code) +
                    ".",
                code == ENOENT ? ProfileFault::Missing : ProfileFault::Unreadable};
    }
    // Read with a limit: a name such as /dev/zero never ends.
    std::string content;
    std::array<char, 64 * 1024> buffer;
    ssize_t got = 0;
    while ((got = ::read(fd, buffer.data(), buffer.size())) != 0) {
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int code = errno;
            ::close(fd);
            return {std::nullopt, "The card profile " + path.string() +
                                      " cannot be read: " + std::strerror(code) + "."};
        }
        content.append(buffer.data(), static_cast<size_t>(got));
        if (content.size() > profile::MaxProfileBytes) {
            ::close(fd);
            return {std::nullopt, "The card profile " + path.string() + " is larger than " +
                                      std::to_string(profile::MaxProfileBytes >> 20) +
                                      " MiB, far more than any card holds."};
        }
    }
    ::close(fd);
    ProfileResult result = parseCardProfile(content);
    if (!result.profile) {
        result.error = path.filename().string() + ": " + result.error;
    }
    return result;
}

} // namespace velnor
