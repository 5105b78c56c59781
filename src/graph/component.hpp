#pragma once

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <utility>
#include <vector>

#include "graph/edge.hpp"

namespace varnet {

// A cycle or path of the joint graph: never empty, consecutive edges share an endpoint and
// their sides alternate. Which list holds it says whether it is a cycle or a path.
//
// The edges lie in one vector with a gap in front, so that removing the first edge, or an edge
// near the front, costs no more than removing the last one, and moving a component between lists
// moves three pointers and allocates nothing.
class Component {
public:
    using value_type = Edge;
    using difference_type = std::ptrdiff_t;
    using iterator = Edge*;
    using const_iterator = const Edge*;

    Component() = default;
    Component(std::initializer_list<Edge> edges) : edges_(edges) {}
    Component(const Component& other) : edges_(other.begin(), other.end()) {}
    Component(Component&& other) noexcept
        : edges_(std::move(other.edges_)), start_(std::exchange(other.start_, 0)) {}
    Component& operator=(const Component& other) {
        if (this != &other) {
            edges_.assign(other.begin(), other.end());
            start_ = 0;
        }
        return *this;
    }
    Component& operator=(Component&& other) noexcept {
        edges_ = std::move(other.edges_);
        start_ = std::exchange(other.start_, 0);
        other.edges_.clear();
        return *this;
    }

    iterator begin() { return edges_.data() + start_; }
    iterator end() { return edges_.data() + edges_.size(); }
    const_iterator begin() const { return edges_.data() + start_; }
    const_iterator end() const { return edges_.data() + edges_.size(); }

    std::size_t size() const { return edges_.size() - start_; }
    bool empty() const { return edges_.size() == start_; }
    Edge& operator[](std::size_t i) { return edges_[start_ + i]; }
    const Edge& operator[](std::size_t i) const { return edges_[start_ + i]; }
    Edge& front() { return edges_[start_]; }
    const Edge& front() const { return edges_[start_]; }
    Edge& back() { return edges_.back(); }
    const Edge& back() const { return edges_.back(); }

    void reserve(std::size_t count) { edges_.reserve(start_ + count); }
    // Edges the component can hold without allocating; 0 for one moved from.
    std::size_t capacity() const { return edges_.capacity(); }
    void clear() {
        edges_.clear();
        start_ = 0;
    }
    void push_back(const Edge& edge) { edges_.push_back(edge); }
    void push_back(Edge&& edge) { edges_.push_back(std::move(edge)); }
    // Appends an edge without genes and returns it.
    Edge& emplace_back() { return edges_.emplace_back(); }
    void pop_back() {
        edges_.pop_back();
        if (edges_.size() == start_) clear();
    }
    void pop_front() {
        edges_[start_] = Edge{};
        if (++start_ == edges_.size()) clear();
    }

    // Inserts [first, last) before `at`; in front of the first edge it fills the gap when the
    // gap is wide enough.
    template <typename It>
    void insert(const_iterator at, It first, It last) {
        const auto count = static_cast<std::size_t>(std::distance(first, last));
        const std::size_t offset = physical(at);
        if (offset == start_ && count <= start_) {
            start_ -= count;
            std::copy(first, last, edges_.begin() + static_cast<difference_type>(start_));
        } else {
            edges_.insert(edges_.begin() + static_cast<difference_type>(offset), first, last);
        }
    }

    // Removes the edge at `at`, moving the shorter side of the component.
    void erase(const_iterator at) {
        const std::size_t offset = physical(at);
        if (offset - start_ < edges_.size() - offset) {
            const auto base = edges_.begin();
            std::move_backward(base + static_cast<difference_type>(start_),
                               base + static_cast<difference_type>(offset),
                               base + static_cast<difference_type>(offset) + 1);
            pop_front();
        } else {
            edges_.erase(edges_.begin() + static_cast<difference_type>(offset));
            if (edges_.size() == start_) clear();
        }
    }

    friend bool operator==(const Component& a, const Component& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end());
    }

private:
    std::size_t physical(const_iterator at) const {
        return static_cast<std::size_t>(at - edges_.data());
    }

    std::vector<Edge> edges_;
    // Edges before this index are unused (cleared).
    std::size_t start_ = 0;
};

}  // namespace varnet
