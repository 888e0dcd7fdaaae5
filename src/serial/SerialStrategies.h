// Strategies: small stack objects that serialise one kind of value in both
// directions and compose (a map strategy holds a pair strategy, which holds
// one strategy per member). Owned and polymorphic pointers are recreated on
// reading through factories.
#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include "serial/ISerialStream.h"
#include "serial/SerialClass.h"
#include "serial/SerialDo.h"

namespace Serial {

// Runs `body` (returning bool) inside the child node `name`. False, with
// `body` not run, when the stream reports the node absent (a tree reader
// tolerates nodes that an older writer did not produce); else body's result.
template <typename F>
bool InNode(ISerialStream& s, const NodeName& name, F&& body) {
  if (!s.EnterNode(name)) return false;
  const bool ok = body();
  s.LeaveNode();
  return ok;
}

template <typename T>
class ISerialStrategy {
 public:
  // True when the value was written or completely read.
  virtual bool Do(ISerialStream& s, T& value) = 0;

 protected:
  ~ISerialStrategy() = default;
};

namespace detail {
template <typename T, typename = void>
struct HasMemberDo : std::false_type {};
template <typename T>
struct HasMemberDo<T, std::void_t<decltype(std::declval<T&>().Do(std::declval<ISerialStream&>()))>>
    : std::true_type {};

template <typename C, typename = void>
struct HasPushBack : std::false_type {};
template <typename C>
struct HasPushBack<C, std::void_t<decltype(std::declval<C&>().push_back(
                          std::declval<typename C::value_type>()))>> : std::true_type {};
}  // namespace detail

// A plain value through the free Serial::Do, an object through its Do member.
template <typename T>
class DefaultSerialStrategy : public ISerialStrategy<T> {
 public:
  bool Do(ISerialStream& s, T& value) override {
    if constexpr (detail::HasMemberDo<T>::value) {
      return value.Do(s);
    } else {
      return Serial::Do(s, value);
    }
  }
};

// An enumeration as a field of sizeof(U) bytes.
template <typename E, typename U>
class EnumSerialStrategy : public ISerialStrategy<E> {
 public:
  bool Do(ISerialStream& s, E& value) override {
    U stored = static_cast<U>(value);
    if (!Serial::Do(s, stored)) return false;
    if (s.IsReading()) value = static_cast<E>(stored);
    return true;
  }
};

// Reads a count field and then up to that many elements, one anonymous node
// each, as the container strategy writes them. Every element read completely
// goes to `adopt`; an element whose read fails or throws goes to `discard`
// first, so that owned pointers in it are freed. Stops with false at the first
// failure.
template <typename E, typename Adopt, typename Discard>
bool ReadElements(ISerialStream& s, ISerialStrategy<E>& element, Adopt adopt, Discard discard) {
  unsigned int count = 0;
  if (!Serial::Do(s, count)) return false;
  // No reserve(count): the count comes from the stream and is not trusted.
  for (unsigned int i = 0; i < count; ++i) {
    E item{};
    if (!s.EnterNode(NodeName())) return false;
    bool ok = false;
    try {
      ok = element.Do(s, item);
      s.LeaveNode();
    } catch (...) {
      discard(item);
      throw;
    }
    if (!ok) {
      discard(item);
      return false;
    }
    adopt(std::move(item));
  }
  return true;
}

// A container: its count as a 4-byte field, then one anonymous node per
// element. Reading clears the container first; a failed element stops the
// read and leaves the elements read before it. Sets and maps do not add an
// element whose key is already present.
template <typename C, typename E>
class STLContainerSerialStrategy : public ISerialStrategy<C> {
 public:
  explicit STLContainerSerialStrategy(ISerialStrategy<E>& element) : element_(element) {}

  bool Do(ISerialStream& s, C& container) override {
    if (s.IsReading()) {
      container.clear();
      return ReadElements(
          s, element_,
          [&container](E&& item) {
            if constexpr (detail::HasPushBack<C>::value) {
              container.push_back(std::move(item));
            } else {
              container.insert(container.end(), std::move(item));
            }
          },
          [](E&) {});
    }
    unsigned int count = static_cast<unsigned int>(container.size());
    Serial::Do(s, count);
    for (auto& item : container) {
      if (!s.EnterNode(NodeName())) return false;
      bool ok;
      if constexpr (std::is_same_v<std::decay_t<decltype(item)>, E>) {
        ok = element_.Do(s, const_cast<E&>(static_cast<const E&>(item)));
      } else {
        E copy(item);  // map elements have a const key; E does not
        ok = element_.Do(s, copy);
      }
      s.LeaveNode();
      if (!ok) return false;
    }
    return true;
  }

 private:
  ISerialStrategy<E>& element_;
};

// A pair: an anonymous node with the first member, then one with the second.
template <typename K, typename V>
class PairSerialStrategy : public ISerialStrategy<std::pair<K, V>> {
 public:
  PairSerialStrategy(ISerialStrategy<K>& first, ISerialStrategy<V>& second)
      : first_(first), second_(second) {}

  bool Do(ISerialStream& s, std::pair<K, V>& value) override {
    if (!s.EnterNode(NodeName())) return false;
    const bool firstOk = first_.Do(s, value.first);
    s.LeaveNode();
    if (!firstOk) return false;
    if (!s.EnterNode(NodeName())) return false;
    const bool secondOk = second_.Do(s, value.second);
    s.LeaveNode();
    return secondOk;
  }

 private:
  ISerialStrategy<K>& first_;
  ISerialStrategy<V>& second_;
};

// A map as a container of pairs, in key order.
template <typename M>
class MapSerialStrategy
    : public STLContainerSerialStrategy<M, std::pair<typename M::key_type, typename M::mapped_type>> {
 public:
  using Pair = std::pair<typename M::key_type, typename M::mapped_type>;
  explicit MapSerialStrategy(ISerialStrategy<Pair>& pair)
      : STLContainerSerialStrategy<M, Pair>(pair) {}
};

template <typename T>
class IPolyFactory {
 public:
  // A new object of the named class, or null.
  virtual T* Create(const NodeName& className) = 0;

 protected:
  ~IPolyFactory() = default;
};

// Creates objects through a class registry; null when the class is unknown
// or its objects are not `T`s.
template <typename T>
class SerialClassPolyFactoryImpl : public IPolyFactory<T> {
 public:
  explicit SerialClassPolyFactoryImpl(const SerialClassRegistry& registry)
      : registry_(registry) {}

  T* Create(const NodeName& className) override {
    SerialObject* object = registry_.Create(className);
    T* typed = dynamic_cast<T*>(object);
    if (!typed) delete object;
    return typed;
  }

 private:
  const SerialClassRegistry& registry_;
};

template <typename T>
class IMonoFactory {
 public:
  virtual T* Create() = 0;

 protected:
  ~IMonoFactory() = default;
};

template <typename T>
class DefaultMonoFactory : public IMonoFactory<T> {
 public:
  T* Create() override { return new T(); }
};

template <typename T>
class PolyPtrSerialStrategy : public ISerialStrategy<T*> {
 protected:
  ~PolyPtrSerialStrategy() = default;
};

// An owned polymorphic pointer: a null flag, then the class name and the
// object. Reading expects a null pointer to fill; an unknown class name
// gives false with the pointer left null.
template <typename T>
class SerialClassStrategy : public PolyPtrSerialStrategy<T> {
 public:
  explicit SerialClassStrategy(IPolyFactory<T>& factory) : factory_(factory) {}

  bool Do(ISerialStream& s, T*& value) override {
    bool isNull = value == nullptr;
    if (!Serial::Do(s, isNull)) return false;
    if (isNull) return true;
    if (!s.IsReading()) {
      // Writing leaves the name as it is, so the class's own name serves.
      if (!const_cast<NodeName&>(value->GetSerialClass().GetName()).Do(s)) return false;
      return value->Do(s);
    }
    NodeName name;
    if (!name.Do(s)) return false;
    value = factory_.Create(name);
    if (!value) return false;
    return value->Do(s);
  }

 private:
  IPolyFactory<T>& factory_;
};

// An owned pointer to an object of one fixed class: a null flag, then the
// object through its strategy.
template <typename T>
class MonoPtrSerialStrategy : public ISerialStrategy<T*> {
 public:
  MonoPtrSerialStrategy(ISerialStrategy<T>& element, IMonoFactory<T>& factory)
      : element_(element), factory_(factory) {}

  bool Do(ISerialStream& s, T*& value) override {
    bool isNull = value == nullptr;
    if (!Serial::Do(s, isNull)) return false;
    if (isNull) return true;
    if (s.IsReading()) {
      value = factory_.Create();
      if (!value) return false;
    }
    return element_.Do(s, *value);
  }

 private:
  ISerialStrategy<T>& element_;
  IMonoFactory<T>& factory_;
};

// A std::unique_ptr through a pointer strategy. Reading adopts the object
// read when it succeeds; the object held before is deleted.
template <typename T>
class AutoPtrSerialStrategy : public ISerialStrategy<std::unique_ptr<T>> {
 public:
  explicit AutoPtrSerialStrategy(ISerialStrategy<T*>& pointer) : pointer_(pointer) {}

  bool Do(ISerialStream& s, std::unique_ptr<T>& value) override {
    if (!s.IsReading()) {
      T* raw = value.get();
      return pointer_.Do(s, raw);
    }
    T* raw = nullptr;
    bool ok = false;
    try {
      ok = pointer_.Do(s, raw);
    } catch (...) {
      delete raw;  // FormatIO in the middle of the object: nobody else owns it
      throw;
    }
    if (!ok) {
      delete raw;  // a half-read object is not adopted and must not leak
      return false;
    }
    if (raw != value.get()) value.reset(raw);
    return true;
  }

 private:
  ISerialStrategy<T*>& pointer_;
};

}  // namespace Serial
