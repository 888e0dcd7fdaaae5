// Strategies: container, map, pair, enum and pointer layouts, and polymorphic
// recreation by class name.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "SerialTestUtil.h"
#include "serial/SerialStrategies.h"

using namespace Serial;  // NOLINT: the strategy names are long enough
using testutil::Bytes;
using testutil::FromHex;
using testutil::Hex;
using testutil::Layout;

namespace {

SerialClassRegistry& Registry() {
  static SerialClassRegistry registry;
  return registry;
}

struct Shape : SerialObject {
  using SerialObject::SerialObject;
  int size = 0;
  bool Do(ISerialStream& s) override { return Serial::Do(s, size); }
};
struct Circle : Shape {
  using Shape::Shape;
};
struct Other : SerialObject {
  using SerialObject::SerialObject;
  bool Do(ISerialStream&) override { return true; }
};

SerialClassImpl<Shape> shapeClass(NodeName(static_cast<unsigned char>(0x10)), Registry());
SerialClassImpl<Circle> circleClass(NodeName(u"Circle"), Registry());
SerialClassImpl<Other> otherClass(NodeName(u"Other"), Registry());

struct Point {
  int x = 0;
  int y = 0;
  bool Do(ISerialStream& s) { return Serial::Do(s, x) && Serial::Do(s, y); }
  bool operator==(const Point& o) const { return x == o.x && y == o.y; }
};

// The body `strategy` writes for `value`, without header and "Root".
template <typename S, typename T>
Bytes WriteWith(S& strategy, T value) {
  return testutil::WriteBody([&](ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, value)); });
}

// Reads `body` into `value` with `strategy`; what its Do returned.
template <typename S, typename T>
bool ReadWith(S& strategy, const Bytes& body, T& value) {
  bool ok = false;
  testutil::Read(testutil::Stream(body), [&](ISerialStream& s) { ok = strategy.Do(s, value); });
  return ok;
}

TEST(Strategies, ContainerAndMapLayouts) {
  DefaultSerialStrategy<std::vector<CString>> list;
  std::vector<CString> back{u"old", u"older"};
  const Bytes body = WriteWith(list, std::vector<CString>{u"a"});
  EXPECT_EQ(Hex(body), Layout("vector"));
  EXPECT_TRUE(ReadWith(list, body, back));
  EXPECT_EQ(back, std::vector<CString>{u"a"});

  std::map<int, CString> map{{2, u"b"}, {1, u"a"}}, mapBack{{9, u"gone"}};
  DefaultSerialStrategy<int> key;
  DefaultSerialStrategy<CString> value;
  PairSerialStrategy<int, CString> pair(key, value);
  MapSerialStrategy<std::map<int, CString>> strategy(pair);
  const Bytes mapBody = WriteWith(strategy, map);  // in key order, as pairs
  EXPECT_EQ(Hex(mapBody), Layout("map"));
  EXPECT_TRUE(ReadWith(strategy, mapBody, mapBack));
  EXPECT_EQ(mapBack, map);
}

TEST(Strategies, SetReadSkipsDuplicatesAndStopsAtFirstBadElement) {
  DefaultSerialStrategy<std::set<CString>> strategy;
  std::set<CString> set{u"old"};
  EXPECT_FALSE(ReadWith(strategy, FromHex(Layout("set with a bad element")), set));
  EXPECT_EQ(set, (std::set<CString>{u"a"}));
}

TEST(Strategies, EnumUsesTheWidthOfItsStorageType) {
  enum class Color { Red = 1, Blue = 0x0102 };
  EnumSerialStrategy<Color, unsigned short> strategy;
  const Bytes body = WriteWith(strategy, Color::Blue);
  EXPECT_EQ(Hex(body), Layout("enum"));
  Color back = Color::Red;
  EXPECT_TRUE(ReadWith(strategy, body, back));
  EXPECT_EQ(back, Color::Blue);
}

TEST(Strategies, PolymorphicPointersKeepTheirClass) {
  SerialClassPolyFactoryImpl<Shape> factory(Registry());
  SerialClassStrategy<Shape> strategy(factory);
  Circle circle(circleClass);
  circle.size = 5;
  Shape shape(shapeClass);
  shape.size = 6;
  EXPECT_EQ(Hex(WriteWith(strategy, static_cast<Shape*>(&shape))), Layout("shape"));
  EXPECT_EQ(Hex(WriteWith(strategy, static_cast<Shape*>(nullptr))), Layout("null pointer"));
  Shape* back = nullptr;
  EXPECT_TRUE(ReadWith(strategy, WriteWith(strategy, static_cast<Shape*>(&circle)), back));
  std::unique_ptr<Shape> owned(back);
  ASSERT_NE(dynamic_cast<Circle*>(back), nullptr);
  EXPECT_EQ(back->size, 5);

  // A class the factory does not make, and an unknown string name "Nope".
  SerialClassPolyFactoryImpl<SerialObject> anyFactory(Registry());
  SerialClassStrategy<SerialObject> anyStrategy(anyFactory);
  Other other(otherClass);
  back = nullptr;
  EXPECT_FALSE(
      ReadWith(strategy, WriteWith(anyStrategy, static_cast<SerialObject*>(&other)), back));
  EXPECT_FALSE(ReadWith(strategy, FromHex(Layout("unknown class")), back));
  EXPECT_EQ(back, nullptr);
}

TEST(Strategies, MonoAndOwningPointers) {
  DefaultSerialStrategy<Point> element;
  DefaultMonoFactory<Point> factory;
  MonoPtrSerialStrategy<Point> pointer(element, factory);
  AutoPtrSerialStrategy<Point> owning(pointer);
  const Bytes body = WriteWith(owning, std::make_unique<Point>(Point{7, 8}));
  EXPECT_EQ(Hex(body), Layout("owned point"));
  auto point = std::make_unique<Point>(Point{1, 1});
  EXPECT_TRUE(ReadWith(owning, body, point));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(*point, (Point{7, 8}));
  // A stored null replaces the object.
  EXPECT_TRUE(ReadWith(owning, WriteWith(owning, std::unique_ptr<Point>()), point));
  EXPECT_EQ(point, nullptr);
}

}  // namespace
