// The in-memory serial tree: recording in writing mode, tolerant navigation
// in reading mode.
#include "serial/SerialTree.h"

#include <cstring>
#include <utility>

namespace Serial {

SerialTreeField::SerialTreeField(const SerialTreeField& other) : SerialTreeField() {
  reset(other.getData(), other.size_);
}

SerialTreeField::SerialTreeField(SerialTreeField&& other) noexcept
    : heap_(other.heap_), size_(other.size_), capacity_(other.capacity_) {
  std::memcpy(inline_, other.inline_, kInline);
  other.heap_ = nullptr;
  other.size_ = 0;
  other.capacity_ = 0;
}

SerialTreeField& SerialTreeField::operator=(const SerialTreeField& other) {
  if (this != &other) reset(other.getData(), other.size_);
  return *this;
}

SerialTreeField& SerialTreeField::operator=(SerialTreeField&& other) noexcept {
  if (this != &other) {
    delete[] heap_;
    heap_ = other.heap_;
    size_ = other.size_;
    capacity_ = other.capacity_;
    std::memcpy(inline_, other.inline_, kInline);
    other.heap_ = nullptr;
    other.size_ = 0;
    other.capacity_ = 0;
  }
  return *this;
}

void SerialTreeField::reset(const void* data, unsigned int size) {
  if (size > kInline && size > capacity_) {
    delete[] heap_;
    heap_ = new unsigned char[size];
    capacity_ = size;
  }
  size_ = size;
  if (size != 0) std::memcpy(size <= kInline ? inline_ : heap_, data, size);
}

SerialTreeNode::~SerialTreeNode() {
  // Children whose last owner is this node are emptied here, one level at a
  // time, so that releasing a deep tree never recurses.
  std::vector<boost::shared_ptr<SerialTreeNode>> pending;
  auto collect = [&pending](SerialTreeNode& node) {
    for (auto& child : node.anonymous) pending.push_back(std::move(child));
    for (auto& entry : node.named) pending.push_back(std::move(entry.second));
    node.anonymous.clear();
    node.named.clear();
  };
  collect(*this);
  while (!pending.empty()) {
    boost::shared_ptr<SerialTreeNode> node = std::move(pending.back());
    pending.pop_back();
    if (node && node.use_count() == 1) collect(*node);
  }
}

SerialTree::SerialTree() : reading_(false) { Reset(); }

void SerialTree::Reset() {
  stack_.clear();
  if (!reading_) root_ = SerialTreeNode();
  stack_.push_back(Frame{&root_, 0, 0});
}

void SerialTree::SetReadingMode(bool reading) {
  if (reading == reading_) return;
  reading_ = reading;
  Reset();
}

bool SerialTree::EnterNode(const NodeName& name) {
  if (stack_.empty()) return false;
  Frame& frame = stack_.back();
  SerialTreeNode* child = nullptr;
  if (name.GetType() == NodeName::NONE) {
    if (reading_) {
      if (frame.nextAnonymous >= frame.node->anonymous.size()) return false;
      child = frame.node->anonymous[frame.nextAnonymous++].get();
    } else {
      frame.node->anonymous.push_back(boost::shared_ptr<SerialTreeNode>(new SerialTreeNode));
      child = frame.node->anonymous.back().get();
    }
  } else if (reading_) {
    const auto it = frame.node->named.find(name);
    if (it == frame.node->named.end()) return false;
    child = it->second.get();
  } else {
    auto& slot = frame.node->named[name];
    if (!slot) slot.reset(new SerialTreeNode);
    child = slot.get();
  }
  stack_.push_back(Frame{child, 0, 0});
  return true;
}

void SerialTree::LeaveNode() {
  if (!stack_.empty()) stack_.pop_back();
}

const void* SerialTree::ReadField(unsigned int& size) {
  if (stack_.empty()) return nullptr;
  Frame& frame = stack_.back();
  if (frame.nextField >= frame.node->fields.size()) return nullptr;
  const SerialTreeField& field = frame.node->fields[frame.nextField++];
  size = field.getSize();
  return field.getData();
}

void SerialTree::WriteField(unsigned int size, const void* data) {
  if (stack_.empty()) return;
  stack_.back().node->fields.emplace_back();
  stack_.back().node->fields.back().reset(data, size);
}

}  // namespace Serial
