#pragma once

#include <cstddef>
#include <list>
#include <utility>

namespace tarn {

// The list every collection of geometric records uses. Elements are inserted
// at the front, so a walk meets the newest element first and a copy (which
// inserts the source's elements in walk order) holds them in reverse order.
// Element addresses stay valid until the element is removed.
template <class T>
class SentinelList {
 public:
  using iterator = typename std::list<T>::iterator;
  using const_iterator = typename std::list<T>::const_iterator;

  SentinelList() = default;
  SentinelList(const SentinelList& other) { insertEach(other); }
  SentinelList(SentinelList&&) noexcept = default;  // a move never reorders
  SentinelList& operator=(const SentinelList& other) {
    SentinelList reversed(other);  // safe against self-assignment
    items_ = std::move(reversed.items_);
    return *this;
  }
  SentinelList& operator=(SentinelList&&) noexcept = default;
  ~SentinelList() = default;

  // Newest first.
  void insert(const T& element) { items_.push_front(element); }
  void insert(T&& element) { items_.push_front(std::move(element)); }

  // Removing end() does nothing, as removing a sentinel does nothing.
  iterator remove(iterator node) { return node == items_.end() ? node : items_.erase(node); }
  void clear() { items_.clear(); }

  // Unlinks `node` and relinks it directly after `pos` (used by the area sort).
  void moveAfter(iterator node, iterator pos) {
    if (node == pos) {
      return;
    }
    items_.splice(std::next(pos), items_, node);
  }

  int count() const { return static_cast<int>(items_.size()); }
  bool empty() const { return items_.empty(); }

  T& front() { return items_.front(); }
  const T& front() const { return items_.front(); }
  T& back() { return items_.back(); }
  const T& back() const { return items_.back(); }

  iterator begin() { return items_.begin(); }
  iterator end() { return items_.end(); }
  const_iterator begin() const { return items_.begin(); }
  const_iterator end() const { return items_.end(); }

 private:
  void insertEach(const SentinelList& other) {
    for (const T& element : other.items_) {
      items_.push_front(element);
    }
  }

  std::list<T> items_;
};

}  // namespace tarn
