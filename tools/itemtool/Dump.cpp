// Printing of a loaded serial tree. The walk keeps its own stack because a
// file may nest nodes far deeper than the call stack could follow, and the
// output is collected in a block before it reaches the stream.
#include "Dump.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <new>
#include <ostream>
#include <string_view>
#include <vector>

#include "platform/CString.h"
#include "serial/BinarySerialTreeIn.h"
#include "serial/ISerialStream.h"
#include "serial/NodeName.h"

namespace itemtool {

namespace {

using Serial::NodeName;
using Serial::SerialTreeNode;

constexpr char kHexDigits[] = "0123456789abcdef";
// Text lines show at most this many bytes of a field.
constexpr unsigned int kTextFieldBytes = 16;
// The output block is handed to the stream once it grows past this size.
constexpr size_t kFlushSize = 64 * 1024;

void AppendHex(std::string& out, const unsigned char* bytes, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    out += kHexDigits[bytes[i] >> 4];
    out += kHexDigits[bytes[i] & 0x0F];
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Names come from the file and need not be valid UTF-16: a lone surrogate
// becomes U+FFFD so that the output is always valid UTF-8 (and valid JSON).
void AppendName(std::string& out, std::u16string_view text, bool json) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (json && (c == '"' || c == '\\')) {
      out += '\\';
      out += static_cast<char>(c);
    } else if (json && c < 0x20) {
      out += "\\u00";
      out += kHexDigits[c >> 4];
      out += kHexDigits[c & 0x0F];
    } else {
      AppendUtf8(out, c);
    }
  }
}

class Printer {
 public:
  Printer(DumpFormat format, std::ostream& out) : json_(format == DumpFormat::kJson), out_(out) {}

  void Print(const SerialTreeNode& root, const Serial::VersionInfo& version) {
    if (json_) {
      text_ += "{\"version\": \"";
      AppendName(text_, version.ToString().view(), true);
      text_ += "\", \"root\": ";
    }
    const NodeName rootName(Serial::ROOT_NODE_NAME);
    Open(root, rootName, 0);
    while (!stack_.empty()) {
      Frame& frame = stack_.back();
      const SerialTreeNode* child = nullptr;
      const NodeName* name = &anonymous_;
      if (frame.nextAnonymous < frame.node->anonymous.size()) {
        child = frame.node->anonymous[frame.nextAnonymous++].get();
      } else if (frame.nextNamed != frame.node->named.end()) {
        name = &frame.nextNamed->first;
        child = frame.nextNamed->second.get();
        ++frame.nextNamed;
      } else {
        if (json_) text_ += "]}";
        stack_.pop_back();
        continue;
      }
      if (!child) continue;
      if (json_ && frame.printedChild) text_ += ", ";
      frame.printedChild = true;
      Open(*child, *name, stack_.size());  // may reallocate the stack: `frame` is dead now
    }
    if (json_) text_ += "}\n";  // the outer object; text lines end themselves
    Flush();
  }

 private:
  using NamedIterator = std::map<NodeName, boost::shared_ptr<SerialTreeNode>>::const_iterator;

  struct Frame {
    const SerialTreeNode* node;
    size_t nextAnonymous;
    NamedIterator nextNamed;
    bool printedChild;
  };

  // Prints the node's own line(s) and fields and makes it the current node.
  void Open(const SerialTreeNode& node, const NodeName& name, size_t level) {
    if (json_) {
      OpenJson(node, name);
    } else {
      OpenText(node, name, level);
    }
    stack_.push_back(Frame{&node, 0, node.named.begin(), false});
    if (text_.size() >= kFlushSize) Flush();
  }

  void OpenText(const SerialTreeNode& node, const NodeName& name, size_t level) {
    Indent(level);
    switch (name.GetType()) {
      case NodeName::NONE:
        text_ += '-';
        break;
      case NodeName::STRING:
        AppendName(text_, name.GetStrValue().view(), false);
        break;
      case NodeName::BYTE: {
        const unsigned char byte = name.GetByteValue();
        text_ += "0x";
        AppendHex(text_, &byte, 1);
        break;
      }
    }
    text_ += '\n';
    for (size_t i = 0; i < node.fields.size(); ++i) {
      const Serial::SerialTreeField& field = node.fields[i];
      Indent(level + 1);
      text_ += '[';
      text_ += std::to_string(i);
      text_ += "] ";
      const unsigned int size = field.getSize();
      if (size == 0) {
        text_ += "(empty)";
      } else {
        const unsigned int shown = size < kTextFieldBytes ? size : kTextFieldBytes;
        AppendHex(text_, static_cast<const unsigned char*>(field.getData()), shown);
        if (size > shown) {
          text_ += "... (";
          text_ += std::to_string(size);
          text_ += " bytes)";
        }
      }
      text_ += '\n';
    }
  }

  void OpenJson(const SerialTreeNode& node, const NodeName& name) {
    text_ += "{\"name\": ";
    switch (name.GetType()) {
      case NodeName::NONE:
        text_ += "null";
        break;
      case NodeName::STRING:
        text_ += '"';
        AppendName(text_, name.GetStrValue().view(), true);
        text_ += '"';
        break;
      case NodeName::BYTE:
        text_ += std::to_string(name.GetByteValue());
        break;
    }
    text_ += ", \"fields\": [";
    for (size_t i = 0; i < node.fields.size(); ++i) {
      if (i != 0) text_ += ", ";
      text_ += '"';
      const Serial::SerialTreeField& field = node.fields[i];
      AppendHex(text_, static_cast<const unsigned char*>(field.getData()), field.getSize());
      text_ += '"';
      if (text_.size() >= kFlushSize) Flush();
    }
    text_ += "], \"nodes\": [";
  }

  void Indent(size_t level) {
    text_.append(2 * (level < kMaxIndentLevels ? level : kMaxIndentLevels), ' ');
    if (level > kMaxIndentLevels) {
      text_ += '<';
      text_ += std::to_string(level);
      text_ += "> ";
    }
  }

  void Flush() {
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

  const bool json_;
  std::ostream& out_;
  const NodeName anonymous_;
  std::vector<Frame> stack_;
  std::string text_;
};

}  // namespace

void PrintRoot(const SerialTreeNode& top, const Serial::VersionInfo& version, DumpFormat format,
               std::ostream& out) {
  const auto it = top.named.find(NodeName(Serial::ROOT_NODE_NAME));
  if (it == top.named.end() || !it->second) return;
  Printer(format, out).Print(*it->second, version);
}

namespace {

bool LoadTree(Serial::IStreamIn& in, Serial::Binary::BinarySerialTreeIn& tree) {
  try {
    return tree.Load(in);
  } catch (const Serial::Exceptions::FormatIO&) {
    return false;
  }
}

}  // namespace

bool DumpStream(Serial::IStreamIn& in, DumpFormat format, std::ostream& out) {
  Serial::Binary::BinarySerialTreeIn tree;
  if (!LoadTree(in, tree)) return false;
  PrintRoot(tree.GetRootNode(), tree.GetSchemeVersion(), format, out);
  return true;
}

void AppendJsonString(std::string& out, std::u16string_view text) {
  out += '"';
  AppendName(out, text, true);
  out += '"';
}

std::unique_ptr<Serial::GZFileStreamIn> OpenSerialFile(const std::string& path,
                                                       std::ostream& err) {
  // A directory opens for reading on Linux and then reads as empty; it is
  // an unreadable argument, not a malformed file.
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    err << "itemtool: " << path << ": is a directory\n";
    return nullptr;
  }
  auto in = std::make_unique<Serial::GZFileStreamIn>(CString::FromUtf8(path));
  if (!in->IsOpen()) {
    const int error = errno;
    err << "itemtool: " << path << ": cannot open: " << std::strerror(error) << '\n';
    return nullptr;
  }
  return in;
}

bool CheckWholeFile(Serial::GZFileStreamIn& in, const std::string& path, std::ostream& err) {
  std::string reason;
  if (in.ReadToEnd(reason)) return true;
  err << "itemtool: " << path << ": " << reason << '\n';
  return false;
}

int DumpFile(const std::string& path, DumpFormat format, std::ostream& out, std::ostream& err) {
  const std::unique_ptr<Serial::GZFileStreamIn> in = OpenSerialFile(path, err);
  if (!in) return kExitUnreadable;
  try {
    // The tree is printed only once the whole file has proved sound.
    Serial::Binary::BinarySerialTreeIn tree;
    const bool valid = LoadTree(*in, tree);
    if (!CheckWholeFile(*in, path, err)) return kExitMalformed;
    if (!valid) {
      err << "itemtool: " << path << ": not a valid serial file\n";
      return kExitMalformed;
    }
    PrintRoot(tree.GetRootNode(), tree.GetSchemeVersion(), format, out);
  } catch (const std::bad_alloc&) {
    err << "itemtool: " << path << ": out of memory\n";
    return kExitMalformed;
  }
  return kExitOk;
}

}  // namespace itemtool
