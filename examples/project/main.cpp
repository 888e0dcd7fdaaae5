// Builds a small project, saves it as a gzip project file, loads it back and
// checks that what it loaded equals what it saved.
//   example [FILE]    (default: example-project.serial.gz in the current folder)
#include <itemlib.h>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<CResItem> BuildProject() {
  auto root = std::make_unique<CResItem>();
  auto* dialog = new CResItem();  // the parent takes ownership below
  dialog->SetResId(u"IDD_ABOUT");
  dialog->SetPropW(CPropName(u"Caption"), new CStrProp(u"About"));
  auto* german = new CTransItem(0x0407);
  german->SetStr(u"Info");
  dialog->AddTransItem(german);
  root->AddResItem(dialog);
  return root;
}

}  // namespace

int main(int argc, char** argv) {
  const CString path = CString::FromUtf8(argc > 1 ? argv[1] : "example-project.serial.gz");
  std::unique_ptr<CResItem> saved = BuildProject();
  {
    Serial::GZFileStreamOut file(path, 2);
    if (!file.IsOpen()) return std::fprintf(stderr, "cannot create the file\n"), 2;
    Serial::Binary::BinarySerialOut out(file);  // header and "Root"
    DoProject(out, saved);
  }                                             // "Root" closed, file flushed

  std::unique_ptr<CResItem> loaded;
  try {
    Serial::GZFileStreamIn file(path);
    Serial::Binary::BinarySerialIn in(file);
    if (!DoProject(in, loaded)) return std::fprintf(stderr, "no project in the file\n"), 1;
  } catch (const Serial::Exceptions::FormatIO&) {
    return std::fprintf(stderr, "the file is damaged\n"), 1;
  }
  const CResItem* dialog = loaded->GetResItems().at(0);
  std::printf("%s: %s \"%s\", German \"%s\"\n", path.ToUtf8().c_str(),
              dialog->GetResId().ToUtf8().c_str(),
              dialog->GetPropW(CPropName(u"Caption"))->GetStr().ToUtf8().c_str(),
              dialog->GetTranslation(0x0407)->GetStr().ToUtf8().c_str());
  // Items compare their own fields and properties; children and
  // translations are compared one by one.
  const CResItem* original = saved->GetResItems().at(0);
  const bool same = *loaded == *saved && *dialog == *original &&
                    *dialog->GetTranslation(0x0407) == *original->GetTranslation(0x0407);
  return same ? 0 : 1;
}
