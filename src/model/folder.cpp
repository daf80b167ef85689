#include "model/folder.h"

#include <stdexcept>

namespace vortimax {

namespace {

ListOrder orderOf(FolderKind kind) {
    return kind == FolderKind::Animation ? ListOrder::AsInserted : ListOrder::ByName;
}

} // namespace

Folder::Folder(std::string_view name, FolderKind kind, std::filesystem::path filePath)
    : name_(cutName(name)), kind_(kind), filePath_(std::move(filePath)), fractals_(orderOf(kind)) {}

void Folder::setCurrentFractal(FractalRecord* record) {
    if (record != nullptr && !fractals_.contains(*record))
        throw std::logic_error("only a record of the folder can be its current fractal");
    current_ = record;
}

FractalRecord& Folder::add(std::unique_ptr<FractalRecord> record) {
    FractalRecord& added = fractals_.insert(std::move(record), true);
    added.folder = this;
    return added;
}

void Folder::addAll(std::vector<std::unique_ptr<FractalRecord>> records) {
    for (const auto& record : records)
        record->folder = this;
    fractals_.insertAll(std::move(records), true);
}

FractalRecord& Folder::insertAt(std::size_t index, std::unique_ptr<FractalRecord> record) {
    FractalRecord& added = fractals_.insertAt(index, std::move(record), true);
    added.folder = this;
    return added;
}

void Folder::moveTo(const FractalRecord& record, std::size_t index) {
    fractals_.moveTo(record, index);
}

std::unique_ptr<FractalRecord> Folder::take(FractalRecord& record) {
    if (!fractals_.contains(record))
        return nullptr;
    if (current_ == &record) {
        FractalRecord* next = fractals_.next(record);
        current_ = next != nullptr ? next : fractals_.previous(record);
    }
    std::unique_ptr<FractalRecord> owned = fractals_.remove(record);
    owned->folder = nullptr;
    return owned;
}

bool Folder::renameFractal(FractalRecord& record, std::string_view text) {
    return fractals_.rename(record, text, true);
}

} // namespace vortimax
