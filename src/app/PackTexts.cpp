#include "app/PackTexts.h"

#include "BuiltinEnglish.h"

namespace velnor {

const char *PackTexts::find(int id) const {
    return pack_ ? pack_->text(id) : nullptr;
}

bool PackTexts::load(const std::filesystem::path &file) {
    std::unique_ptr<LanguagePack> next = LanguagePack::open(file);
    if (!next) {
        return false;
    }
    pack_ = std::move(next);
    return true;
}

const char *BuiltinEnglishTexts::find(int id) const {
    return builtin_en::langString(id);
}

} // namespace velnor
