// itemtool: the command line of the library. Argument handling only; the
// commands live in Dump, Example, Project, Langs, Hhp and Convert.
#include <unistd.h>

#include <iostream>
#include <memory>
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

constexpr char kHelp[] =
    "\n"
    "  dump            print any serial file (plain or gzip) as an indented tree, or JSON\n"
    "  info            summarise a project file: items, translations, languages, settings\n"
    "  example         write a small serial file showing the kinds of stored values\n"
    "  sample-project  write a small translated project file\n"
    "  langs           list the language table: ids, culture names, code pages\n"
    "  hhp             print the project text of a stored help project description\n"
    "  sample-hhp      write a stored help project description\n"
    "  convert         convert an older SQLite 2 project database into a project file\n"
    "  sample-olddb    write an older SQLite 2 project database\n"
    "\n"
    "Files are replaced only once the new one is complete on disk.\n"
    "Exit status: 0 success, 1 malformed input, 2 unreadable or unwritable file or usage error.\n";

int UsageError(const std::string& message) {
  std::cerr << "itemtool: " << message << '\n' << kUsage;
  return itemtool::kExitUnreadable;
}

// The arguments of a command: options first checked, then the files.
struct Args {
  bool json = false;
  std::vector<std::string> files;
};

// Takes "--json" when the command has it; any other option is an error.
// Returns the usage status on an error, or -1.
int Parse(const std::vector<std::string>& args, bool jsonAllowed, Args& out) {
  for (const std::string& arg : args) {
    if (jsonAllowed && arg == "--json") {
      out.json = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + arg);
    } else {
      out.files.push_back(arg);
    }
  }
  return -1;
}

// A command's files must be exactly `count`; -1 when they are.
int ExpectFiles(const Args& args, size_t count, const char* what) {
  return args.files.size() == count ? -1 : UsageError(what);
}

// A command that printed to stdout only succeeded if the output arrived.
int Printed(int status) {
  std::cout.flush();
  if (status == itemtool::kExitOk && !std::cout) {
    std::cerr << "itemtool: cannot write the output\n";
    return itemtool::kExitUnreadable;
  }
  return status;
}

int Run(const std::string& command, const Args& args) {
  if (command == "dump") {
    if (const int e = ExpectFiles(args, 1, "dump takes one FILE"); e >= 0) return e;
    const auto format = args.json ? itemtool::DumpFormat::kJson : itemtool::DumpFormat::kText;
    return Printed(itemtool::DumpFile(args.files[0], format, std::cout, std::cerr));
  }
  if (command == "info") {
    if (const int e = ExpectFiles(args, 1, "info takes one FILE"); e >= 0) return e;
    return Printed(itemtool::InfoFile(args.files[0], args.json, std::cout, std::cerr));
  }
  if (command == "langs") {
    if (const int e = ExpectFiles(args, 0, "langs takes no FILE"); e >= 0) return e;
    return Printed(itemtool::PrintLangs(args.json, std::cout));
  }
  if (command == "example") {
    if (const int e = ExpectFiles(args, 1, "example takes one FILE"); e >= 0) return e;
    CString error;
    return itemtool::WriteExampleFile(args.files[0], error)
               ? itemtool::kExitOk
               : itemtool::CannotWrite(args.files[0], error, std::cerr);
  }
  if (command == "sample-project") {
    if (const int e = ExpectFiles(args, 1, "sample-project takes one FILE"); e >= 0) return e;
    const std::unique_ptr<CResItem> root = itemtool::BuildSampleProject();
    return itemtool::SaveProject(args.files[0], *root, std::cerr);
  }
  if (command == "hhp") {
    if (const int e = ExpectFiles(args, 1, "hhp takes one FILE"); e >= 0) return e;
    return Printed(itemtool::PrintHhpFile(args.files[0], std::cout, std::cerr));
  }
  if (command == "sample-hhp") {
    if (const int e = ExpectFiles(args, 1, "sample-hhp takes one FILE"); e >= 0) return e;
    CString error;
    return itemtool::SaveHhpFile(args.files[0], itemtool::BuildSampleHhp(), error)
               ? itemtool::kExitOk
               : itemtool::CannotWrite(args.files[0], error, std::cerr);
  }
  if (command == "convert") {
    if (const int e = ExpectFiles(args, 2, "convert takes OLD and NEW"); e >= 0) return e;
    // The bar rewrites its line in place: only for a person watching.
    const bool progress = isatty(STDERR_FILENO) == 1;
    return itemtool::ConvertFile(args.files[0], args.files[1], progress, std::cout, std::cerr);
  }
  if (command == "sample-olddb") {
    if (const int e = ExpectFiles(args, 1, "sample-olddb takes one FILE"); e >= 0) return e;
    return itemtool::WriteSampleOldDb(args.files[0], itemtool::kSampleBlockSize, std::cerr)
               ? itemtool::kExitOk
               : itemtool::kExitUnreadable;
  }
  return UsageError("unknown command " + command);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  if (args.empty()) return UsageError("missing command");
  const std::string& command = args[0];
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << kUsage << kHelp;
    return itemtool::kExitOk;
  }
  const bool json = command == "dump" || command == "info" || command == "langs";
  Args parsed;
  if (const int e = Parse(rest, json, parsed); e >= 0) return e;
  return Run(command, parsed);
}
