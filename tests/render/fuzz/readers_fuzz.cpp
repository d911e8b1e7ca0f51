// libFuzzer target for the readers of everything a teacher may receive from
// someone else, one reader per run, chosen by KIO_FUZZ_READER:
//   markup    the markup converter, fast scan against the rescanning one
//   template  template filling: the input is the template, then (after a
//             zero byte) the instructions, the completion message and the
//             three backgrounds, each after another zero byte
//   document  a document: the settings block, then three text fields
//   language  the language record reader and the student-text loader
//   rtf       the RTF help reader, to plain text and to HTML
// Every message goes nowhere. Each input must end within the work limits.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fileio/file.h"
#include "fileio/session.h"
#include "lang/texts.h"
#include "platform/platform.h"
#include "platform/rtf.h"
#include "render/fields.h"
#include "render/markup.h"
#include "render/page_settings.h"
#include "render/write_page.h"
#include "silent_platform.h"

namespace {

// A private folder standing for the program folder, with its template
// folder, and a file path for documents.
struct Scratch {
  std::string folder;
  Scratch() {
    char name[] = "/tmp/kio-fuzz-XXXXXX";
    folder = std::string(mkdtemp(name)) + "/";
    std::filesystem::create_directories(folder + kio::kTemplateFolder);
  }
};

void Put(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

std::vector<std::string> SplitAtZeros(const std::string& input, size_t parts) {
  std::vector<std::string> out;
  size_t start = 0;
  while (out.size() + 1 < parts) {
    size_t zero = input.find('\0', start);
    if (zero == std::string::npos) break;
    out.push_back(input.substr(start, zero - start));
    start = zero + 1;
  }
  out.push_back(input.substr(std::min(start, input.size())));
  out.resize(parts);
  return out;
}

void Markup(const std::string& input) {
  std::string fast = input, slow = input;
  // Each scan starts from its own fresh context.
  kio::PageBuild fastBuild, slowBuild;
  const bool fastDone = kio::RenderMarkup(fast, fastBuild);
  const bool slowDone = kio::RenderMarkupByRescanning(slow, slowBuild);
  // Within the limits both scans give the same text and collection.
  if (fastDone && slowDone && (fast != slow || fastBuild.collectedMarkup != slowBuild.collectedMarkup))
    __builtin_trap();
}

void Template(const Scratch& scratch, const std::string& input) {
  std::vector<std::string> part = SplitAtZeros(input, 6);
  kio::Session& s = kio::CurrentSession();
  s.appPaths.programFolder = scratch.folder;
  Put(scratch.folder + kio::kTemplateFolder + "tmplate_fuzz.htm", part[0]);
  kio::PageBuild build;
  build.completionMessage = part[2];
  build.settings.background1 = part[3];
  build.settings.background2 = part[4];
  build.settings.background3 = part[5];
  build.settings.frameCols = part[1].substr(0, 24);
  std::string page;
  if (!kio::FillTemplate({"tmplate_fuzz.htm", part[1], "page.htm", "3;"}, build, page))
    kio::CutAtMarkers(page, part[2]);
  if (page.size() > 2 * kio::kFilledPageLimit) __builtin_trap();
}

void Document(const Scratch& scratch, const std::string& input) {
  const std::string path = scratch.folder + "document.clo";
  Put(path, input);
  kio::File file;
  if (!file.Open(path, kio::File::kRead)) std::abort();
  try {
    kio::ReadSettingsBlock(file);
    kio::FieldReader reader(file);
    for (int i = 0; i < 3; ++i) reader.Text(14999);
    reader.Number();
  } catch (const kio::FileError&) {
  }
}

void Language(const std::string& input) {
  kio::ReadRecords(input, 213);
  kio::StudentTextsOf(input);
}

void Rtf(const std::string& input) {
  kio::RtfToPlainText(input);
  kio::RtfToHtml(input);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static kio::test::SilentPlatform silent;
  static Scratch scratch;
  static const std::string reader = [] {
    const char* r = std::getenv("KIO_FUZZ_READER");
    return std::string(r ? r : "markup");
  }();
  kio::SetPlatform(&silent);
  const std::string input(reinterpret_cast<const char*>(bytes), size);
  if (reader == "markup")
    Markup(input);
  else if (reader == "template")
    Template(scratch, input);
  else if (reader == "document")
    Document(scratch, input);
  else if (reader == "language")
    Language(input);
  else if (reader == "rtf")
    Rtf(input);
  else
    std::abort();
  return 0;
}
