// Strategies and the class registry: container, map, pair, enum and pointer
// layouts, polymorphic recreation by class name, and registry rules.
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
  EXPECT_EQ(Hex(body), "1A 04 00 00 00 01 00 00 00 18 00 1A 02 00 00 00 61 00 19");
  EXPECT_TRUE(ReadWith(list, body, back));
  EXPECT_EQ(back, std::vector<CString>{u"a"});

  std::map<int, CString> map{{2, u"b"}, {1, u"a"}}, mapBack{{9, u"gone"}};
  DefaultSerialStrategy<int> key;
  DefaultSerialStrategy<CString> value;
  PairSerialStrategy<int, CString> pair(key, value);
  MapSerialStrategy<std::map<int, CString>> strategy(pair);
  const Bytes mapBody = WriteWith(strategy, map);  // in key order, as pairs
  EXPECT_EQ(Hex(mapBody),
            "1A 04 00 00 00 02 00 00 00 "
            "18 00 18 00 1A 04 00 00 00 01 00 00 00 19 18 00 1A 02 00 00 00 61 00 19 19 "
            "18 00 18 00 1A 04 00 00 00 02 00 00 00 19 18 00 1A 02 00 00 00 62 00 19 19");
  EXPECT_TRUE(ReadWith(strategy, mapBody, mapBack));
  EXPECT_EQ(mapBack, map);
}

TEST(Strategies, SetReadSkipsDuplicatesAndStopsAtFirstBadElement) {
  // Count 3: "a", "a", then an element holding an odd-sized string.
  const Bytes body = FromHex(
      "1A 04 00 00 00 03 00 00 00 18 00 1A 02 00 00 00 61 00 19 18 00 1A 02 00 00 00 61 00 19 "
      "18 00 1A 01 00 00 00 62 19");
  DefaultSerialStrategy<std::set<CString>> strategy;
  std::set<CString> set{u"old"};
  EXPECT_FALSE(ReadWith(strategy, body, set));
  EXPECT_EQ(set, (std::set<CString>{u"a"}));
}

TEST(Strategies, EnumUsesTheWidthOfItsStorageType) {
  enum class Color { Red = 1, Blue = 0x0102 };
  EnumSerialStrategy<Color, unsigned short> strategy;
  const Bytes body = WriteWith(strategy, Color::Blue);
  EXPECT_EQ(Hex(body), "1A 02 00 00 00 02 01");
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
  // Flag 0, name type 2 and its byte; flag 1 for null.
  EXPECT_EQ(Hex(WriteWith(strategy, static_cast<Shape*>(&shape))),
            "1A 01 00 00 00 00 1A 01 00 00 00 02 1A 01 00 00 00 10 1A 04 00 00 00 06 00 00 00");
  EXPECT_EQ(Hex(WriteWith(strategy, static_cast<Shape*>(nullptr))), "1A 01 00 00 00 01");
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
  EXPECT_FALSE(ReadWith(strategy,
                        FromHex("1A 01 00 00 00 00 1A 01 00 00 00 01 "
                                "1A 08 00 00 00 4E 00 6F 00 70 00 65 00"),
                        back));
  EXPECT_EQ(back, nullptr);
}

TEST(Strategies, MonoAndOwningPointers) {
  DefaultSerialStrategy<Point> element;
  DefaultMonoFactory<Point> factory;
  MonoPtrSerialStrategy<Point> pointer(element, factory);
  AutoPtrSerialStrategy<Point> owning(pointer);
  const Bytes body = WriteWith(owning, std::make_unique<Point>(Point{7, 8}));
  EXPECT_EQ(Hex(body), "1A 01 00 00 00 00 1A 04 00 00 00 07 00 00 00 1A 04 00 00 00 08 00 00 00");
  auto point = std::make_unique<Point>(Point{1, 1});
  EXPECT_TRUE(ReadWith(owning, body, point));
  ASSERT_NE(point, nullptr);
  EXPECT_EQ(*point, (Point{7, 8}));
  // A stored null replaces the object.
  EXPECT_TRUE(ReadWith(owning, WriteWith(owning, std::unique_ptr<Point>()), point));
  EXPECT_EQ(point, nullptr);
}

TEST(SerialClassRegistry, RegistrationRules) {
  SerialClassRegistry registry;
  const NodeName x(u"X"), three(static_cast<unsigned char>(3));
  EXPECT_EQ(registry.Create(three), nullptr);
  {
    SerialClassImpl<Shape> first(x, registry);
    SerialClassImpl<Circle> second(x, registry);  // dropped
    std::unique_ptr<SerialObject> made(registry.Create(x));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(&made->GetSerialClass(), &first);
    SerialClassImpl<Shape> byteFirst(three, registry);
    {
      SerialClassImpl<Circle> byteSecond(three, registry);  // replaces
      std::unique_ptr<SerialObject> replaced(registry.Create(three));
      EXPECT_EQ(&replaced->GetSerialClass(), &byteSecond);
    }
    EXPECT_EQ(registry.Find(three), nullptr);
  }
  EXPECT_EQ(registry.Find(x), nullptr);
}

}  // namespace
