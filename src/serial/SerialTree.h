// A serial stream held in memory as a tree. Writing records nodes and
// fields; reading serves them back, finds named nodes in any order and
// answers an absent node with false, so that a Do() can skip what an older
// writer did not produce.
#pragma once

#include <boost/shared_ptr.hpp>
#include <map>
#include <vector>

#include "serial/ISerialStream.h"

namespace Serial {

// One field's bytes; up to 8 bytes are kept inline without an allocation.
class SerialTreeField {
 public:
  SerialTreeField() : heap_(nullptr), size_(0), capacity_(0) {}
  SerialTreeField(const SerialTreeField& other);
  SerialTreeField(SerialTreeField&& other) noexcept;
  SerialTreeField& operator=(const SerialTreeField& other);
  SerialTreeField& operator=(SerialTreeField&& other) noexcept;
  ~SerialTreeField() { delete[] heap_; }

  // Copies `size` bytes; a larger field reuses its heap block when it fits.
  void reset(const void* data, unsigned int size);
  const void* getData() const { return size_ <= kInline ? inline_ : heap_; }
  unsigned int getSize() const { return size_; }

 private:
  static constexpr unsigned int kInline = 8;
  unsigned char inline_[kInline] = {};
  unsigned char* heap_;
  unsigned int size_;
  unsigned int capacity_;
};

// One node: anonymous children in order, named children by name, fields in
// order. Copies share the children.
struct SerialTreeNode {
  SerialTreeNode() = default;
  SerialTreeNode(const SerialTreeNode&) = default;
  SerialTreeNode& operator=(const SerialTreeNode&) = default;
  // Releases descendants without recursion, so that any depth is safe.
  ~SerialTreeNode();

  std::vector<boost::shared_ptr<SerialTreeNode>> anonymous;
  std::map<NodeName, boost::shared_ptr<SerialTreeNode>> named;
  std::vector<SerialTreeField> fields;
};

// The tree stream. Abstract: the scheme version comes from a subclass.
class SerialTree : public ISerialStream {
 public:
  SerialTree();

  // Rewinds to the root; in writing mode also discards the content.
  void Reset();
  // Switching the mode resets; setting the same mode does nothing.
  void SetReadingMode(bool reading);

  bool IsReading() const override { return reading_; }
  // Reading: false for an absent named node or no anonymous child left.
  // Writing: a repeated name reaches the same child again.
  bool EnterNode(const NodeName& name) override;
  void LeaveNode() override;
  // Null when the current node has no field left.
  const void* ReadField(unsigned int& size) override;
  void WriteField(unsigned int size, const void* data) override;

  // The top-level node (the one holding "Root" after a load).
  const SerialTreeNode& GetRootNode() const { return root_; }

 protected:
  struct Frame {
    SerialTreeNode* node;
    unsigned int nextField;
    unsigned int nextAnonymous;
  };

 private:
  std::vector<Frame> stack_;
  SerialTreeNode root_;
  bool reading_;
};

}  // namespace Serial
