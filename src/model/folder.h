#pragma once

#include "model/fractal_record.h"
#include "model/named_list.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vortimax {

enum class FolderKind : std::uint32_t {
    Project = 0,   // the fractals of one parameter file, sorted by name
    Animation = 1, // the key frames of one animation, in their meaningful order
};

// A folder of fractal records. Names are unique inside the folder (letter case ignored).
// A project keeps its fractals sorted by name; an animation keeps the order its entries
// were put in. Every record in the folder points back to it through `folder`.
class Folder {
public:
    Folder(std::string_view name, FolderKind kind, std::filesystem::path filePath);
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& name() const { return name_; }
    FolderKind kind() const { return kind_; }
    bool isAnimation() const { return kind_ == FolderKind::Animation; }
    // The parameter file (or animation file) the folder is saved to.
    const std::filesystem::path& filePath() const { return filePath_; }
    void setFilePath(std::filesystem::path path) { filePath_ = std::move(path); }

    const NamedList<FractalRecord>& fractals() const { return fractals_; }
    bool contains(const FractalRecord& record) const { return fractals_.contains(record); }

    // The selected record, or none. Only a member can be selected.
    FractalRecord* currentFractal() const { return current_; }
    void setCurrentFractal(FractalRecord* record);

    // Adds a record with a unique name: at its place by name in a project, at the end of
    // an animation. Sets the record's folder.
    FractalRecord& add(std::unique_ptr<FractalRecord> record);
    // Adds the records as add() would one after the other, sorting once.
    void addAll(std::vector<std::unique_ptr<FractalRecord>> records);
    // Animations only: adds a record with a unique name before position `index`.
    FractalRecord& insertAt(std::size_t index, std::unique_ptr<FractalRecord> record);
    // Animations only: moves a member to position `index`.
    void moveTo(const FractalRecord& record, std::size_t index);
    // Takes a member out. When it was the current record, the next one (or the previous
    // one when it was the last) becomes current. Nothing when it is not a member.
    std::unique_ptr<FractalRecord> take(FractalRecord& record);
    // Renames a member (at most 63 characters, unique in the folder, its own name
    // allowed). Returns whether the name changed.
    bool renameFractal(FractalRecord& record, std::string_view text);

private:
    friend struct NamedListTraits<Folder>;

    std::string name_;
    FolderKind kind_;
    std::filesystem::path filePath_;
    NamedList<FractalRecord> fractals_;
    FractalRecord* current_ = nullptr;
};

template <> struct NamedListTraits<Folder> {
    static std::string_view name(const Folder& folder) { return folder.name_; }
    static void setName(Folder& folder, std::string name) { folder.name_ = std::move(name); }
};

} // namespace vortimax
