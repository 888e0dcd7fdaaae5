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
  CString label;
  bool Do(ISerialStream& s) override { return Shape::Do(s) && Serial::Do(s, label); }
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

enum class Color { Red = 1, Blue = 0x0102 };

TEST(Strategies, ContainerLayoutMatchesFormat) {
  std::vector<CString> one{u"a"};
  EXPECT_EQ(Hex(testutil::WriteBody([&](ISerialStream& s) { Serial::Do(s, one); })),
            "1A 04 00 00 00 01 00 00 00 18 00 1A 02 00 00 00 61 00 19");
  std::set<CString> empty;
  EXPECT_EQ(Hex(testutil::WriteBody([&](ISerialStream& s) { Serial::Do(s, empty); })),
            "1A 04 00 00 00 00 00 00 00");
}

TEST(Strategies, MapIsWrittenInKeyOrderAsPairs) {
  std::map<int, CString> map{{2, u"b"}, {1, u"a"}};
  DefaultSerialStrategy<int> key;
  DefaultSerialStrategy<CString> value;
  PairSerialStrategy<int, CString> pair(key, value);
  MapSerialStrategy<std::map<int, CString>> strategy(pair);
  const Bytes body = testutil::WriteBody([&](ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, map)); });
  EXPECT_EQ(Hex(body),
            "1A 04 00 00 00 02 00 00 00 "
            "18 00 18 00 1A 04 00 00 00 01 00 00 00 19 18 00 1A 02 00 00 00 61 00 19 19 "
            "18 00 18 00 1A 04 00 00 00 02 00 00 00 19 18 00 1A 02 00 00 00 62 00 19 19");
  std::map<int, CString> back{{9, u"gone"}};
  testutil::Read(testutil::Stream(body), [&](ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, back)); });
  EXPECT_EQ(back, map);
}

TEST(Strategies, EnumUsesTheWidthOfItsStorageType) {
  Color color = Color::Blue;
  EnumSerialStrategy<Color, unsigned short> strategy;
  const Bytes body = testutil::WriteBody([&](ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, color)); });
  EXPECT_EQ(Hex(body), "1A 02 00 00 00 02 01");
  Color back = Color::Red;
  testutil::Read(testutil::Stream(body), [&](ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, back)); });
  EXPECT_EQ(back, Color::Blue);
  EnumSerialStrategy<Color, unsigned int> wide;
  back = Color::Red;
  testutil::Read(testutil::Stream(body), [&](ISerialStream& s) { EXPECT_FALSE(wide.Do(s, back)); });
  EXPECT_EQ(back, Color::Red);
}

TEST(Strategies, ObjectsAndContainersOfObjects) {
  std::vector<Point> points{{1, 2}, {3, 4}};
  DefaultSerialStrategy<Point> element;
  STLContainerSerialStrategy<std::vector<Point>, Point> strategy(element);
  const Bytes bytes = testutil::Write([&](ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, points)); });
  std::vector<Point> back;
  testutil::Read(bytes, [&](ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, back)); });
  EXPECT_EQ(back, points);
}

TEST(Strategies, SetReadSkipsDuplicatesAndStopsAtFirstBadElement) {
  // Count 3: "a", "a", then an element holding an odd-sized string.
  const Bytes body = FromHex(
      "1A 04 00 00 00 03 00 00 00 18 00 1A 02 00 00 00 61 00 19 18 00 1A 02 00 00 00 61 00 19 "
      "18 00 1A 01 00 00 00 62 19");
  std::set<CString> set{u"old"};
  testutil::Read(testutil::Stream(body), [&](ISerialStream& s) { EXPECT_FALSE(Serial::Do(s, set)); });
  EXPECT_EQ(set, (std::set<CString>{u"a"}));
}

TEST(Strategies, PolymorphicPointersKeepTheirClass) {
  SerialClassPolyFactoryImpl<Shape> factory(Registry());
  SerialClassStrategy<Shape> strategy(factory);

  Shape* null = nullptr;
  EXPECT_EQ(Hex(testutil::WriteBody([&](ISerialStream& s) { EXPECT_TRUE(strategy.Do(s, null)); })),
            "1A 01 00 00 00 01");

  auto circle = std::make_unique<Circle>(circleClass);
  circle->size = 5;
  circle->label = u"c";
  auto shape = std::make_unique<Shape>(shapeClass);
  shape->size = 6;
  Shape* written[] = {circle.get(), shape.get(), nullptr};
  const Bytes bytes = testutil::Write([&](ISerialStream& s) {
    for (Shape*& p : written) EXPECT_TRUE(strategy.Do(s, p));
  });
  // The byte-named class is stored as type 2 and its byte.
  const Bytes body(bytes.begin() + 109, bytes.end() - 1);
  EXPECT_NE(Hex(body).find("1A 01 00 00 00 00 1A 01 00 00 00 02 1A 01 00 00 00 10"), std::string::npos);

  Shape* back[3] = {nullptr, nullptr, nullptr};
  testutil::Read(bytes, [&](ISerialStream& s) {
    for (Shape*& p : back) EXPECT_TRUE(strategy.Do(s, p));
  });
  std::unique_ptr<Shape> first(back[0]), second(back[1]);
  auto* circleBack = dynamic_cast<Circle*>(first.get());
  ASSERT_NE(circleBack, nullptr);
  EXPECT_EQ(circleBack->size, 5);
  EXPECT_EQ(circleBack->label, CString(u"c"));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(&second->GetSerialClass(), &shapeClass);
  EXPECT_EQ(second->size, 6);
  EXPECT_EQ(back[2], nullptr);
}

TEST(Strategies, UnknownOrForeignClassLeavesPointerNull) {
  SerialClassPolyFactoryImpl<Shape> factory(Registry());
  SerialClassStrategy<Shape> strategy(factory);
  auto other = std::make_unique<Other>(otherClass);
  SerialObject* raw = other.get();
  SerialClassPolyFactoryImpl<SerialObject> anyFactory(Registry());
  SerialClassStrategy<SerialObject> anyStrategy(anyFactory);
  const Bytes foreign = testutil::Write([&](ISerialStream& s) { anyStrategy.Do(s, raw); });
  Shape* back = nullptr;
  testutil::Read(foreign, [&](ISerialStream& s) { EXPECT_FALSE(strategy.Do(s, back)); });
  EXPECT_EQ(back, nullptr);

  // Flag 0, string class name "Nope".
  const Bytes unknown = testutil::Stream(
      FromHex("1A 01 00 00 00 00 1A 01 00 00 00 01 1A 08 00 00 00 4E 00 6F 00 70 00 65 00"));
  testutil::Read(unknown, [&](ISerialStream& s) { EXPECT_FALSE(strategy.Do(s, back)); });
  EXPECT_EQ(back, nullptr);
}

TEST(Strategies, MonoAndOwningPointers) {
  DefaultSerialStrategy<Point> element;
  DefaultMonoFactory<Point> factory;
  MonoPtrSerialStrategy<Point> pointer(element, factory);
  AutoPtrSerialStrategy<Point> owning(pointer);

  auto point = std::make_unique<Point>(Point{7, 8});
  std::unique_ptr<Point> none;
  const Bytes bytes = testutil::Write([&](ISerialStream& s) {
    EXPECT_TRUE(owning.Do(s, point));
    EXPECT_TRUE(owning.Do(s, none));
  });
  const Bytes body(bytes.begin() + 109, bytes.end() - 1);
  EXPECT_EQ(Hex(body),
            "1A 01 00 00 00 00 1A 04 00 00 00 07 00 00 00 1A 04 00 00 00 08 00 00 00 "
            "1A 01 00 00 00 01");

  auto first = std::make_unique<Point>(Point{1, 1});
  auto second = std::make_unique<Point>(Point{2, 2});
  testutil::Read(bytes, [&](ISerialStream& s) {
    EXPECT_TRUE(owning.Do(s, first));
    EXPECT_TRUE(owning.Do(s, second));  // a stored null replaces the object
  });
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(*first, (Point{7, 8}));
  EXPECT_EQ(second, nullptr);
}

TEST(SerialClassRegistry, RegistrationRules) {
  SerialClassRegistry registry;
  EXPECT_EQ(registry.Create(NodeName(static_cast<unsigned char>(3))), nullptr);
  EXPECT_EQ(registry.Create(NodeName(u"X")), nullptr);
  {
    SerialClassImpl<Shape> first(NodeName(u"X"), registry);
    SerialClassImpl<Circle> second(NodeName(u"X"), registry);  // dropped
    std::unique_ptr<SerialObject> made(registry.Create(NodeName(u"X")));
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(&made->GetSerialClass(), &first);

    SerialClassImpl<Shape> byteFirst(NodeName(static_cast<unsigned char>(3)), registry);
    {
      SerialClassImpl<Circle> byteSecond(NodeName(static_cast<unsigned char>(3)), registry);
      std::unique_ptr<SerialObject> replaced(registry.Create(NodeName(static_cast<unsigned char>(3))));
      EXPECT_EQ(&replaced->GetSerialClass(), &byteSecond);
    }
    EXPECT_EQ(registry.Find(NodeName(static_cast<unsigned char>(3))), nullptr);
  }
  EXPECT_EQ(registry.Find(NodeName(u"X")), nullptr);
}

}  // namespace
