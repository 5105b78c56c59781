#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>

namespace varnet {

// A short list of fixed capacity that a constexpr table can hold, so that its rows read as
// written and a static_assert can check them.
template <typename T, std::size_t capacity>
struct ShortList {
    std::array<T, capacity> items{};
    std::size_t size = 0;
    constexpr ShortList() = default;
    constexpr ShortList(std::initializer_list<T> list) {
        for (const T& item : list) items[size++] = item;
    }
    constexpr const T* begin() const { return items.data(); }
    constexpr const T* end() const { return items.data() + size; }
};

}  // namespace varnet
