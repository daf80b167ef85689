#pragma once

#include "base/text_utils.h"
#include "model/name_index.h"
#include "model/pointee_range.h"
#include "model/unique_name.h"

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vortimax {

// How a NamedList reads and writes the name of an item. Items with a public `name`
// string need nothing more; other types specialise this.
template <class T> struct NamedListTraits {
    static std::string_view name(const T& item) { return item.name; }
    static void setName(T& item, std::string name) { item.name = std::move(name); }
};

enum class ListOrder {
    ByName,     // ascending by name, letter case ignored; insertion by bisection
    AsInserted, // the order the items were put in, where it carries meaning
};

// A list of owned items with names. Lookup ignores letter case. The list owns its items:
// its constness covers order and membership, not the items themselves. Names are kept
// within maxLength bytes. An index of the names answers whether a name is taken without
// walking the list; a member must therefore be renamed through the list, never directly.
template <class T, class Traits = NamedListTraits<T>> class NamedList {
public:
    explicit NamedList(ListOrder order = ListOrder::ByName, std::size_t maxLength = kMaxNameLength)
        : order_(order), maxLength_(maxLength), names_(maxLength) {}

    ListOrder order() const { return order_; }
    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    T& operator[](std::size_t index) const { return *items_.at(index); }
    T* first() const { return items_.empty() ? nullptr : items_.front().get(); }

    // Every item in list order, as T&.
    PointeeRange<T> all() const { return PointeeRange<T>(items_); }

    // The item of that name (first of several when names were not made unique).
    T* find(std::string_view name) const {
        if (order_ == ListOrder::ByName) {
            std::size_t index = lowerBound(name);
            return index < items_.size() && equalsIgnoreCase(nameOf(index), name)
                       ? items_[index].get()
                       : nullptr;
        }
        for (const auto& item : items_)
            if (equalsIgnoreCase(Traits::name(*item), name))
                return item.get();
        return nullptr;
    }

    std::optional<std::size_t> indexOf(const T& item) const {
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (items_[i].get() == &item)
                return i;
        return std::nullopt;
    }
    bool contains(const T& item) const { return indexOf(item).has_value(); }

    // Whether an item other than `except` carries `name`.
    bool isNameTaken(std::string_view name, const T* except = nullptr) const {
        const std::size_t count = names_.count(name);
        if (count != 1 || except == nullptr || !equalsIgnoreCase(Traits::name(*except), name))
            return count > 0;
        return !contains(*except); // the one item of that name may be `except` itself
    }

    // The candidate made unique in this list; `self` may keep its own name.
    std::string uniqueName(std::string_view candidate, const T* self = nullptr) const {
        if (self == nullptr)
            return names_.uniqueName(candidate);
        return makeUniqueName(
            candidate, [&](std::string_view name) { return isNameTaken(name, self); }, maxLength_);
    }

    // suffixedName(stem, N) for the smallest N >= 1 that no item carries.
    std::string firstFreeSuffixed(std::string_view stem) const {
        return names_.firstFreeSuffixed(stem);
    }

    // Where an item of that name goes in a by-name list: behind every item whose name
    // compares less or equal, found by bisection.
    std::size_t insertPosition(std::string_view name) const {
        std::size_t low = 0, high = items_.size();
        while (low < high) {
            std::size_t middle = low + (high - low) / 2;
            if (compareIgnoreCase(nameOf(middle), name) <= 0)
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    }

    // Adds the item at its place (by name) or at the end (as inserted). The name is cut to
    // maxLength and, with makeUnique, given the next free suffix.
    T& insert(std::unique_ptr<T> item, bool makeUnique) {
        prepareName(*item, makeUnique);
        std::size_t index =
            order_ == ListOrder::ByName ? insertPosition(Traits::name(*item)) : items_.size();
        return place(index, std::move(item));
    }

    // Adds the items as insert() would one after the other, with one sort instead of a
    // search and a shift per item: loading thousands of entries stays O(n log n).
    void insertAll(std::vector<std::unique_ptr<T>> items, bool makeUnique) {
        const std::size_t before = items_.size();
        items_.reserve(before + items.size());
        for (auto& item : items) {
            prepareName(*item, makeUnique);
            place(items_.size(), std::move(item));
        }
        if (order_ != ListOrder::ByName)
            return;
        // Stable: equal names keep their order of arrival, behind the ones already there.
        auto less = [](const auto& a, const auto& b) {
            return compareIgnoreCase(Traits::name(*a), Traits::name(*b)) < 0;
        };
        auto middle = items_.begin() + static_cast<std::ptrdiff_t>(before);
        std::stable_sort(middle, items_.end(), less);
        std::inplace_merge(items_.begin(), middle, items_.end(), less);
    }

    // Only for lists that keep their order: adds the item before position `index`
    // (clamped to the end).
    T& insertAt(std::size_t index, std::unique_ptr<T> item, bool makeUnique) {
        requireInsertionOrder();
        prepareName(*item, makeUnique);
        return place(std::min(index, items_.size()), std::move(item));
    }

    // Takes the item out of the list; nothing when it is not a member.
    std::unique_ptr<T> remove(const T& item) {
        auto index = indexOf(item);
        if (!index)
            return nullptr;
        std::unique_ptr<T> owned = std::move(items_[*index]);
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(*index));
        names_.remove(Traits::name(*owned));
        return owned;
    }

    // Only for lists that keep their order: moves a member so that it ends up at
    // `index` (clamped to the last position).
    void moveTo(const T& item, std::size_t index) {
        requireInsertionOrder();
        std::unique_ptr<T> owned = remove(item);
        if (owned)
            place(std::min(index, items_.size()), std::move(owned));
    }

    // Gives a member a new name (cut to maxLength, unique when asked, its own name
    // allowed) and moves it to its new place in a by-name list. Returns whether the name
    // changed.
    bool rename(T& item, std::string_view text, bool makeUnique) {
        auto oldIndex = indexOf(item);
        if (!oldIndex)
            return false;
        std::string name = makeUnique ? uniqueName(text, &item) : cutName(text, maxLength_);
        if (name == Traits::name(item))
            return false;
        std::unique_ptr<T> owned = remove(item);
        Traits::setName(*owned, std::move(name));
        std::size_t index =
            order_ == ListOrder::ByName ? insertPosition(Traits::name(*owned)) : *oldIndex;
        place(index, std::move(owned));
        return true;
    }

    T* next(const T& item) const { return neighbour(item, 1); }
    T* previous(const T& item) const { return neighbour(item, -1); }

    void clear() {
        items_.clear();
        names_.clear();
    }

private:
    std::string_view nameOf(std::size_t index) const { return Traits::name(*items_[index]); }

    std::size_t lowerBound(std::string_view name) const {
        std::size_t low = 0, high = items_.size();
        while (low < high) {
            std::size_t middle = low + (high - low) / 2;
            if (compareIgnoreCase(nameOf(middle), name) < 0)
                low = middle + 1;
            else
                high = middle;
        }
        return low;
    }

    void prepareName(T& item, bool makeUnique) const {
        std::string_view current = Traits::name(item);
        Traits::setName(item, makeUnique ? uniqueName(current) : cutName(current, maxLength_));
    }

    T& place(std::size_t index, std::unique_ptr<T> item) {
        T& placed = *item;
        items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
        names_.add(Traits::name(placed));
        return placed;
    }

    T* neighbour(const T& item, int step) const {
        auto index = indexOf(item);
        if (!index)
            return nullptr;
        if (step < 0)
            return *index == 0 ? nullptr : items_[*index - 1].get();
        return *index + 1 < items_.size() ? items_[*index + 1].get() : nullptr;
    }

    void requireInsertionOrder() const {
        if (order_ != ListOrder::AsInserted)
            throw std::logic_error("positions are given only in lists kept as inserted");
    }

    ListOrder order_;
    std::size_t maxLength_;
    std::vector<std::unique_ptr<T>> items_;
    NameIndex names_;
};

} // namespace vortimax
