#include "virtualcard/ProfileFormat.h"

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

} // namespace velnor::profile
