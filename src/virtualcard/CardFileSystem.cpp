#include "virtualcard/CardFileSystem.h"

#include <algorithm>
#include <cstdio>

namespace velnor {

CardFileSystem::CardFileSystem() {
    Entry master;
    master.description.id = MasterId;
    master.description.kind = FileKind::Master;
    nodes_.push_back(master);
    contents_.emplace_back();
}

std::optional<CardFileSystem::Node> CardFileSystem::add(Node parent,
                                                        const FileDescription &description) {
    if (parent >= nodes_.size() || !nodes_[parent].description.isDirectory() ||
        child(parent, description.id)) {
        return std::nullopt;
    }
    const Node node = nodes_.size();
    Entry entry;
    entry.description = description;
    entry.parent = parent;
    nodes_.push_back(entry);
    contents_.push_back(
        description.isDirectory() ? Bytes() : Bytes(description.bodySize(), description.fill));
    nodes_[parent].children.push_back(node);
    return node;
}

std::optional<CardFileSystem::Node> CardFileSystem::addLink(Node parent, uint16_t id, Node target) {
    if (target >= nodes_.size() || nodes_[target].description.isDirectory()) {
        return std::nullopt;
    }
    FileDescription description = nodes_[target].description;
    description.id = id;
    description.sfi = 0;
    const auto node = add(parent, description);
    if (node) {
        nodes_[*node].target = body(target);
        contents_[*node].clear();
    }
    return node;
}

std::optional<CardFileSystem::Node> CardFileSystem::child(Node directory, uint16_t id) const {
    for (Node node : nodes_[directory].children) {
        if (nodes_[node].description.id == id) {
            return node;
        }
    }
    return std::nullopt;
}

std::optional<CardFileSystem::Node> CardFileSystem::find(std::span<const uint16_t> path) const {
    if (path.empty() || path.front() != MasterId) {
        return std::nullopt;
    }
    Node node = Master;
    for (size_t i = 1; i < path.size(); ++i) {
        const auto next = child(node, path[i]);
        if (!next) {
            return std::nullopt;
        }
        node = *next;
    }
    return node;
}

std::vector<uint16_t> CardFileSystem::path(Node node) const {
    std::vector<uint16_t> ids;
    for (;;) {
        ids.insert(ids.begin(), nodes_[node].description.id);
        if (node == Master) {
            return ids;
        }
        node = nodes_[node].parent;
    }
}

std::string CardFileSystem::pathText(Node node) const {
    return formatFilePath(path(node));
}

bool CardFileSystem::setContent(Node node, const Bytes &content) {
    if (nodes_[node].description.isDirectory() || content.size() != contents_[body(node)].size()) {
        return false;
    }
    contents_[body(node)] = content;
    return true;
}

bool CardFileSystem::hasRecord(Node node, size_t number) const {
    const FileDescription &d = nodes_[node].description;
    return d.kind == FileKind::Elementary && d.structure == EfStructure::LinearFixed &&
           number >= 1 && number <= d.recordCount;
}

std::optional<Bytes> CardFileSystem::record(Node node, size_t number) const {
    if (!hasRecord(node, number)) {
        return std::nullopt;
    }
    const size_t length = nodes_[node].description.recordLength;
    const auto begin =
        contents_[body(node)].begin() + static_cast<std::ptrdiff_t>((number - 1) * length);
    return Bytes(begin, begin + static_cast<std::ptrdiff_t>(length));
}

bool CardFileSystem::setRecord(Node node, size_t number, const Bytes &record) {
    const size_t length = nodes_[node].description.recordLength;
    if (!hasRecord(node, number) || record.size() != length) {
        return false;
    }
    std::copy(record.begin(), record.end(),
              contents_[body(node)].begin() + static_cast<std::ptrdiff_t>((number - 1) * length));
    return true;
}

size_t CardFileSystem::allocatedBytes() const {
    size_t total = 0;
    for (const Bytes &content : contents_) {
        total += content.size();
    }
    return total;
}

std::string formatFilePath(const std::vector<uint16_t> &ids) {
    std::string text;
    for (uint16_t id : ids) {
        char part[6];
        std::snprintf(part, sizeof part, "%04X", id);
        if (!text.empty()) {
            text += '/';
        }
        text += part;
    }
    return text;
}

std::optional<std::vector<uint16_t>> parseFilePath(const std::string &text) {
    std::vector<uint16_t> ids;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find('/', start);
        const std::string part = text.substr(start, end == std::string::npos ? end : end - start);
        if (part.size() != 4) {
            return std::nullopt;
        }
        uint16_t id = 0;
        for (char c : part) {
            int digit = 0;
            if (c >= '0' && c <= '9') {
                digit = c - '0';
            } else if (c >= 'A' && c <= 'F') {
                digit = c - 'A' + 10;
            } else if (c >= 'a' && c <= 'f') {
                digit = c - 'a' + 10;
            } else {
                return std::nullopt;
            }
            id = static_cast<uint16_t>(id << 4 | digit);
        }
        ids.push_back(id);
        if (end == std::string::npos) {
            return ids;
        }
        start = end + 1;
    }
}

bool isDirectoryId(uint16_t id) {
    const uint8_t high = static_cast<uint8_t>(id >> 8);
    return high == 0x3F || high == 0x7F || high == 0x5F;
}

} // namespace velnor
