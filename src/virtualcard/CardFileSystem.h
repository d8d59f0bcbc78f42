#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace velnor {

using Bytes = std::vector<uint8_t>;

// The file type byte of a status response (GSM 11.11, 9.3).
enum class FileKind : uint8_t { Master = 0x01, Dedicated = 0x02, Elementary = 0x04 };

// The structure byte of an elementary file's status response (GSM 11.11, 9.3).
enum class EfStructure : uint8_t { Transparent = 0x00, LinearFixed = 0x01 };

// Access condition levels as coded in a status response (GSM 11.11, 9.3).
enum class AccessCondition : uint8_t {
    Always = 0x0,
    Chv1 = 0x1,
    Chv2 = 0x2,
    Administrative = 0x4,
    Never = 0xF
};

// What a file is, apart from what it holds.
struct FileDescription {
    uint16_t id = 0;
    FileKind kind = FileKind::Elementary;
    EfStructure structure = EfStructure::Transparent;
    size_t recordLength = 0;    // linear fixed files
    size_t recordCount = 0;     // linear fixed files
    size_t transparentSize = 0; // transparent files
    AccessCondition read = AccessCondition::Always;
    AccessCondition update = AccessCondition::Always;
    uint8_t fill = 0xFF; // what unwritten bytes hold
    uint8_t sfi = 0;     // short file identifier (TS 102 221, 8.3), 1 to 30; 0: none
    bool invalidated = false;

    bool isDirectory() const { return kind != FileKind::Elementary; }
    size_t bodySize() const {
        return structure == EfStructure::LinearFixed ? recordLength * recordCount : transparentSize;
    }
};

// The master file with its directories and elementary files. The descriptions form the tree;
// the contents of the elementary files are kept beside it as raw bytes, uninterpreted.
class CardFileSystem {
public:
    using Node = size_t;
    static constexpr Node Master = 0;
    static constexpr uint16_t MasterId = 0x3F00;
    // The USIM application's directory: 7FFF names the current ADF (TS 102 221, 8.4.2).
    static constexpr uint16_t AdfId = 0x7FFF;

    CardFileSystem();

    // Adds a file under a directory, its body filled with the description's fill byte. nullopt
    // when the parent is not a directory or already holds a file with that identifier.
    std::optional<Node> add(Node parent, const FileDescription &description);

    // Adds a second name for an elementary file: the same body under another identifier, as a
    // UICC shows the first ADN set of its USIM phonebook as EF ADN of DF TELECOM. nullopt as
    // for add, or when the target is no elementary file.
    std::optional<Node> addLink(Node parent, uint16_t id, Node target);
    // The file whose body a link shows; nullopt for a file of its own.
    std::optional<Node> linkTarget(Node node) const { return nodes_[node].target; }

    std::optional<Node> child(Node directory, uint16_t id) const;
    // The master file is its own parent.
    Node parent(Node node) const { return nodes_[node].parent; }
    const std::vector<Node> &children(Node node) const { return nodes_[node].children; }
    const FileDescription &description(Node node) const { return nodes_[node].description; }
    size_t nodeCount() const { return nodes_.size(); }

    // A node by its identifiers from the master file on, the master file included.
    std::optional<Node> find(std::span<const uint16_t> path) const;
    std::vector<uint16_t> path(Node node) const;
    std::string pathText(Node node) const; // "3F00/7F10/6F3A"

    const Bytes &content(Node node) const { return contents_[body(node)]; }
    // Replaces a body of the same size; false otherwise.
    bool setContent(Node node, const Bytes &content);
    // Records count from 1; nullopt or false outside the file or for a file without records.
    std::optional<Bytes> record(Node node, size_t number) const;
    bool setRecord(Node node, size_t number, const Bytes &record);

    // Bytes taken by every elementary file's body.
    size_t allocatedBytes() const;

private:
    struct Entry {
        FileDescription description;
        Node parent = Master;
        std::vector<Node> children;
        std::optional<Node> target;
    };
    bool hasRecord(Node node, size_t number) const;
    Node body(Node node) const { return nodes_[node].target.value_or(node); }

    std::vector<Entry> nodes_;
    std::vector<Bytes> contents_; // by node; empty for directories
};

// Identifiers as "3F00/7F10/6F3A".
std::string formatFilePath(const std::vector<uint16_t> &ids);
// "3F00/7F10/6F3A" into identifiers; nullopt unless every part is four hex digits.
std::optional<std::vector<uint16_t>> parseFilePath(const std::string &text);

// A directory identifier by GSM 11.11, 6.2: 3Fxx the master file, 7Fxx and 5Fxx dedicated files.
bool isDirectoryId(uint16_t id);

} // namespace velnor
