#pragma once

#include <filesystem>
#include <memory>

#include "app/LanguagePack.h"
#include "base/Texts.h"

namespace velnor {

// The texts of the program, answered from the current language pack. A text handed out stays
// valid until the next successful load.
class PackTexts : public Texts {
public:
    const char *find(int id) const override;

    // Makes the pack in file the current one. The new pack is loaded before the old one is let
    // go, so on failure (false) the old pack keeps answering.
    bool load(const std::filesystem::path &file);

    // The current pack, or null before the first successful load.
    const LanguagePack *pack() const { return pack_.get(); }

private:
    std::unique_ptr<LanguagePack> pack_;
};

// The English table built into the program: the texts of last resort when no pack is there.
class BuiltinEnglishTexts : public Texts {
public:
    const char *find(int id) const override;
};

} // namespace velnor
