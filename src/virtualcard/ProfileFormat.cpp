#include "virtualcard/ProfileFormat.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velnor::profile {

namespace {

constexpr std::array<std::pair<std::string_view, AccessCondition>, 5> kAccessNames{{
    {"ALW", AccessCondition::Always},
    {"CHV1", AccessCondition::Chv1},
    {"CHV2", AccessCondition::Chv2},
    {"ADM", AccessCondition::Administrative},
    {"NEV", AccessCondition::Never},
}};

// A template of EF DIR naming the USIM (TS 102 221, 13.1): tag 61 with its AID (4F) and
// label (50).
Bytes applicationTemplate(const Bytes &aid) {
    const std::string label = "USIM";
    Bytes record(4 + aid.size() + 2 + label.size());
    record[0] = 0x61;
    record[1] = static_cast<uint8_t>(record.size() - 2);
    record[2] = 0x4F;
    record[3] = static_cast<uint8_t>(aid.size());
    auto at = std::copy(aid.begin(), aid.end(), record.begin() + 4);
    *at++ = 0x50;
    *at++ = static_cast<uint8_t>(label.size());
    std::copy(label.begin(), label.end(), at);
    return record;
}

} // namespace

std::optional<AccessCondition> accessFromName(std::string_view name) {
    for (const auto &[text, condition] : kAccessNames) {
        if (text == name) {
            return condition;
        }
    }
    return std::nullopt;
}

std::string accessName(AccessCondition condition) {
    for (const auto &[text, value] : kAccessNames) {
        if (value == condition) {
            return std::string(text);
        }
    }
    return "NEV";
}

AccessCondition defaultReadAccess(bool inMasterFile) {
    return inMasterFile ? AccessCondition::Always : AccessCondition::Chv1;
}

AccessCondition defaultUpdateAccess(bool inMasterFile) {
    return inMasterFile ? AccessCondition::Administrative : AccessCondition::Chv1;
}

void addUiccFiles(CardFileSystem &files, const UiccSettings &uicc) {
    if (!files.child(CardFileSystem::Master, CardFileSystem::AdfId)) {
        FileDescription adf;
        adf.id = CardFileSystem::AdfId;
        adf.kind = FileKind::Dedicated;
        files.add(CardFileSystem::Master, adf);
    }
    constexpr uint16_t EfDirId = 0x2F00;
    if (!files.child(CardFileSystem::Master, EfDirId)) {
        const Bytes record = applicationTemplate(uicc.aid);
        FileDescription dir;
        dir.id = EfDirId;
        dir.structure = EfStructure::LinearFixed;
        dir.recordLength = record.size();
        dir.recordCount = 1;
        dir.update = AccessCondition::Administrative;
        dir.sfi = 0x1E; // TS 102 221, 13.1
        files.setRecord(*files.add(CardFileSystem::Master, dir), 1, record);
    }
}

} // namespace velnor::profile
