// itemtool: a command-line view of serial files (dump) and a writer of an
// example one. Argument handling only; the commands live in Dump, Example, Project, Langs,
// Hhp and Convert.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "Convert.h"
#include "Dump.h"
#include "Example.h"
#include "Hhp.h"
#include "Langs.h"
#include "Project.h"

namespace {

constexpr char kUsage[] =
    "usage: itemtool dump FILE [--json]\n"
    "       itemtool info FILE [--json]\n"
    "       itemtool example FILE\n"
    "       itemtool sample-project FILE\n"
    "       itemtool langs [--json]\n"
    "       itemtool hhp FILE\n"
    "       itemtool sample-hhp FILE\n"
    "       itemtool convert OLD NEW\n"
    "       itemtool sample-olddb FILE\n";

int UsageError(const std::string& message) {
  std::cerr << "itemtool: " << message << '\n' << kUsage;
  return itemtool::kExitUnreadable;
}

int Dump(const std::vector<std::string>& args) {
  itemtool::DumpFormat format = itemtool::DumpFormat::kText;
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      format = itemtool::DumpFormat::kJson;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + arg);
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 1) return UsageError("dump takes one FILE");
  const int status = itemtool::DumpFile(files[0], format, std::cout, std::cerr);
  std::cout.flush();
  if (status == itemtool::kExitOk && !std::cout) {
    std::cerr << "itemtool: cannot write the output\n";
    return itemtool::kExitUnreadable;
  }
  return status;
}

int Info(const std::vector<std::string>& args) {
  bool json = false;
  std::vector<std::string> files;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + arg);
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 1) return UsageError("info takes one FILE");
  return itemtool::InfoFile(files[0], json, std::cout, std::cerr);
}

int Langs(const std::vector<std::string>& args) {
  bool json = false;
  for (const std::string& arg : args) {
    if (arg == "--json") {
      json = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + arg);
    } else {
      return UsageError("langs takes no FILE");
    }
  }
  const int status = itemtool::PrintLangs(json, std::cout);
  std::cout.flush();
  if (status == itemtool::kExitOk && !std::cout) {
    std::cerr << "itemtool: cannot write the output\n";
    return itemtool::kExitUnreadable;
  }
  return status;
}

int SampleProject(const std::vector<std::string>& args) {
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
    return UsageError("sample-project takes one FILE");
  }
  const std::unique_ptr<CResItem> root = itemtool::BuildSampleProject();
  if (!itemtool::SaveProjectFile(args[0], *root)) {
    std::cerr << "itemtool: " << args[0] << ": cannot create\n";
    return itemtool::kExitUnreadable;
  }
  return itemtool::kExitOk;
}

int Example(const std::vector<std::string>& args) {
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
    return UsageError("example takes one FILE");
  }
  errno = 0;
  if (!itemtool::WriteExampleFile(args[0])) {
    const int error = errno;
    std::cerr << "itemtool: " << args[0] << ": cannot create"
              << (error != 0 ? std::string(": ") + std::strerror(error) : std::string()) << '\n';
    return itemtool::kExitUnreadable;
  }
  return itemtool::kExitOk;
}

int Hhp(const std::vector<std::string>& args) {
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
    return UsageError("hhp takes one FILE");
  }
  return itemtool::PrintHhpFile(args[0], std::cout, std::cerr);
}

int SampleHhp(const std::vector<std::string>& args) {
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
    return UsageError("sample-hhp takes one FILE");
  }
  if (!itemtool::SaveHhpFile(args[0], itemtool::BuildSampleHhp())) {
    std::cerr << "itemtool: " << args[0] << ": cannot create\n";
    return itemtool::kExitUnreadable;
  }
  return itemtool::kExitOk;
}

int Convert(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg.size() > 1 && arg[0] == '-') return UsageError("unknown option " + arg);
  }
  if (args.size() != 2) return UsageError("convert takes OLD and NEW");
  // The bar rewrites its line in place: only for a person watching.
  const bool progress = isatty(STDERR_FILENO) == 1;
  return itemtool::ConvertFile(args[0], args[1], progress, std::cout, std::cerr);
}

int SampleOldDb(const std::vector<std::string>& args) {
  if (args.size() != 1 || (args[0].size() > 1 && args[0][0] == '-')) {
    return UsageError("sample-olddb takes one FILE");
  }
  return itemtool::WriteSampleOldDb(args[0], itemtool::kSampleBlockSize, std::cerr)
             ? itemtool::kExitOk
             : itemtool::kExitUnreadable;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (args.empty()) return UsageError("missing command");
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "dump") return Dump(rest);
  if (command == "info") return Info(rest);
  if (command == "example") return Example(rest);
  if (command == "sample-project") return SampleProject(rest);
  if (command == "langs") return Langs(rest);
  if (command == "hhp") return Hhp(rest);
  if (command == "sample-hhp") return SampleHhp(rest);
  if (command == "convert") return Convert(rest);
  if (command == "sample-olddb") return SampleOldDb(rest);
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage;
    return itemtool::kExitOk;
  }
  return UsageError("unknown command " + command);
}
