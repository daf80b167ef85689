#pragma once

#include <cstddef>
#include <iterator>
#include <memory>
#include <ranges>
#include <vector>

namespace vortimax {

// The items a vector of unique_ptr owns, seen as a range of T&: what a list hands out to
// loops without letting them touch its order or ownership. Written out rather than built
// from std::views::transform so that every supported compiler's standard library reads it.
template <class T> class PointeeRange : public std::ranges::view_base {
    using Owners = std::vector<std::unique_ptr<T>>;

public:
    class iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = T*;
        using reference = T&;

        iterator() = default;
        explicit iterator(typename Owners::const_iterator at) : at_(at) {}

        T& operator*() const { return **at_; }
        T* operator->() const { return at_->get(); }
        iterator& operator++() {
            ++at_;
            return *this;
        }
        iterator operator++(int) {
            iterator before = *this;
            ++at_;
            return before;
        }
        friend bool operator==(const iterator&, const iterator&) = default;

    private:
        typename Owners::const_iterator at_{};
    };

    explicit PointeeRange(const Owners& owners) : owners_(&owners) {}

    iterator begin() const { return iterator(owners_->begin()); }
    iterator end() const { return iterator(owners_->end()); }
    std::size_t size() const { return owners_->size(); }
    bool empty() const { return owners_->empty(); }

private:
    const Owners* owners_ = nullptr;
};

} // namespace vortimax
