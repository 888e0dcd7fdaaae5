// The object graph that the fuzzers read and the seed generator writes: one
// Do() for both directions, so that seeds always match what the reader
// expects and mutations start from well-formed streams.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "platform/CString.h"
#include "platform/Variant.h"
#include "platform/WinTypes.h"
#include "serial/ISerialStream.h"
#include "serial/SerialClass.h"
#include "serial/SerialDo.h"
#include "serial/SerialStrategies.h"

namespace fuzz {

// A polymorphic member, so that pointer strategies and the class registry
// are reached too.
struct Shape : Serial::SerialObject {
  explicit Shape(Serial::SerialClass& serialClass) : SerialObject(serialClass) {}
  bool Do(Serial::ISerialStream& s) override {
    return Serial::InNode(s, static_cast<unsigned char>(0x05),
                          [&] { return Serial::Do(s, sides) && Serial::Do(s, label); });
  }
  int sides = 0;
  CString label;
};

inline Serial::SerialClassRegistry& Registry() {
  static Serial::SerialClassRegistry registry;
  return registry;
}

// Constructed after the registry it registers with, so destroyed before it.
inline Serial::SerialClass& ShapeClass() {
  static Serial::SerialClassImpl<Shape> shapeClass(Serial::NodeName(u"Shape"), Registry());
  return shapeClass;
}

struct Graph {
  int number = 0;
  CString text;
  _variant_t variant;
  std::vector<CString> list;
  std::map<int, CString> map;
  tagRECT rect;
  double inner = 0;
  bool flag = false;
  Serial::NodeName className;
  std::unique_ptr<Shape> shape;
};

// Writes or reads `g` below the current node. A tree reader answers absent
// parts with false; the sequential reader throws FormatIO instead.
inline bool DoGraph(Serial::ISerialStream& s, Graph& g) {
  Serial::DefaultSerialStrategy<int> key;
  Serial::DefaultSerialStrategy<CString> value;
  Serial::PairSerialStrategy<int, CString> pair(key, value);
  Serial::MapSerialStrategy<std::map<int, CString>> map(pair);
  Serial::SerialClassPolyFactoryImpl<Shape> factory(Registry());
  Serial::SerialClassStrategy<Shape> pointer(factory);
  Serial::AutoPtrSerialStrategy<Shape> owned(pointer);

  // Every part is visited even after one is missing, so that a tree reader
  // walks them all.
  const auto flag = [&] { return Serial::Do(s, g.flag); };
  const auto inner = [&] {
    const bool ok = Serial::Do(s, g.inner);
    return Serial::InNode(s, static_cast<unsigned char>(0x01), flag) && ok;
  };
  return Serial::InNode(s, u"A", [&] {
    bool ok = Serial::Do(s, g.number);
    ok = Serial::Do(s, g.text) && ok;
    ok = Serial::Do(s, g.variant) && ok;
    ok = Serial::Do(s, g.list) && ok;
    ok = map.Do(s, g.map) && ok;
    ok = Serial::Do(s, g.rect) && ok;
    ok = Serial::InNode(s, Serial::NodeName(), inner) && ok;
    ok = g.className.Do(s) && ok;
    return owned.Do(s, g.shape) && ok;
  });
}

}  // namespace fuzz
