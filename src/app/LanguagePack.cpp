#include "app/LanguagePack.h"

#include <algorithm>
#include <dlfcn.h>
#include <system_error>

namespace velnor {

namespace fs = std::filesystem;

namespace {

using NameFunction = const char *(*)();
using IdFunction = int (*)();

template <typename Function> Function symbol(void *handle, const char *name) {
    return reinterpret_cast<Function>(::dlsym(handle, name));
}

// Calls use for a loaded pack of the folder, in order, until use returns false.
template <typename Use> void forEachPack(const fs::path &langDir, Use use) {
    for (const fs::path &file : packCandidates(langDir)) {
        const std::unique_ptr<LanguagePack> pack = LanguagePack::open(file);
        if (pack && !use(*pack)) {
            return;
        }
    }
}

} // namespace

std::unique_ptr<LanguagePack> LanguagePack::open(const fs::path &file) {
    // A path with a slash keeps dlopen from searching the library path instead.
    std::error_code error;
    const fs::path absolute = fs::absolute(file, error);
    if (error) {
        return nullptr;
    }
    void *handle = ::dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        return nullptr;
    }
    const auto name = symbol<NameFunction>(handle, "GetLangName");
    const auto id = symbol<IdFunction>(handle, "GetLangID");
    const auto text = symbol<TextFunction>(handle, "GetLangString");
    const char *displayName = name != nullptr ? name() : nullptr;
    if (displayName == nullptr || id == nullptr || text == nullptr) {
        ::dlclose(handle);
        return nullptr;
    }
    return std::unique_ptr<LanguagePack>(
        new LanguagePack(handle, text, absolute, displayName, id()));
}

LanguagePack::LanguagePack(void *handle, TextFunction lookup, fs::path file, std::string name,
                           int id)
    : handle_(handle), text_(lookup), file_(std::move(file)), name_(std::move(name)), id_(id) {}

LanguagePack::~LanguagePack() {
    ::dlclose(handle_);
}

const char *LanguagePack::text(int id) const {
    return text_(id);
}

std::vector<fs::path> packCandidates(const fs::path &langDir) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(langDir, error), end; !error && it != end; it.increment(error)) {
        std::error_code kind;
        if (it->path().extension() == ".so" && it->is_regular_file(kind)) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end(), [](const fs::path &a, const fs::path &b) {
        return a.filename().string() < b.filename().string();
    });
    return files;
}

std::vector<PackInfo> listLanguagePacks(const fs::path &langDir, size_t maxCount) {
    std::vector<PackInfo> packs;
    if (maxCount == 0) {
        return packs;
    }
    forEachPack(langDir, [&packs, maxCount](const LanguagePack &pack) {
        packs.push_back({pack.file(), pack.name(), pack.id()});
        return packs.size() < maxCount;
    });
    return packs;
}

std::optional<PackInfo> FindLanguagePack(const fs::path &langDir, std::string_view name) {
    std::optional<PackInfo> found;
    forEachPack(langDir, [&found, name](const LanguagePack &pack) {
        if (pack.name() != name) {
            return true;
        }
        found = PackInfo{pack.file(), pack.name(), pack.id()};
        return false;
    });
    return found;
}

} // namespace velnor
