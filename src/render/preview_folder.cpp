#include "render/preview_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>
#include <string_view>
#include <system_error>
#include <vector>

#include "fileio/session.h"
#include "lang/fixed_texts.h"
#include "platform/file_names.h"

namespace kio {

namespace fs = std::filesystem;

namespace {

// Bounds of the copying: a folder of the teacher's may be large, and a
// preview must stay quick and small.
constexpr size_t kListingLimit = 20000;              // entries of the folder looked at
constexpr std::uintmax_t kCopyFileLimit = 64 << 20;  // a larger file is left out
constexpr std::uintmax_t kCopyTotalLimit = 256 << 20;

// The words of a page that may name a file: what stands between quotes,
// signs and blanks, e.g. casa.jpg in <img src='casa.jpg'> or 'casa.jpg' in a
// script.
std::set<std::string_view> NamedWords(const std::string& page) {
  static constexpr std::string_view kBetween = "\"'=()<>[]{},;?#&/\\ \t\r\n";
  std::set<std::string_view> words;
  size_t start = 0;
  const std::string_view text(page);
  while (start < text.size()) {
    size_t end = text.find_first_of(kBetween, start);
    if (end == std::string_view::npos) end = text.size();
    // A file's name holds a dot (its extension).
    if (end > start && text.substr(start, end - start).find('.') != std::string_view::npos)
      words.insert(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

}  // namespace

PreviewFolder::~PreviewFolder() {
  if (systemPath_.empty()) return;
  std::error_code ec;
  // remove_all removes a link found inside, never what it points to.
  fs::remove_all(systemPath_, ec);
}

std::optional<std::string> PreviewFolder::Path(Failure& failure) {
  std::error_code ec;
  if (!path_.empty()) {
    // Made again when something removed it meanwhile.
    if (fs::symlink_status(systemPath_, ec).type() == fs::file_type::directory) return path_;
    path_.clear();
    systemPath_.clear();
  }
  // The system's temporary folder ($TMPDIR), else /tmp: a folder whose name
  // the program cannot hold as a text is passed over too.
  std::vector<fs::path> bases;
  if (fs::path base = fs::temp_directory_path(ec); !ec) bases.push_back(base);
  bases.push_back("/tmp");
  std::string pattern, reason;
  for (const fs::path& base : bases) {
    pattern = (base / "kio-preview-XXXXXX").string();
    // mkdtemp makes the folder with a unique name, for this user alone
    // (0700).
    if (!mkdtemp(pattern.data())) {
      reason = std::strerror(errno);
      continue;
    }
    if (auto name = ProgramName(pattern)) {
      path_ = *name + "/";
      systemPath_ = pattern;
      return path_;
    }
    fs::remove(pattern, ec);
    reason = std::strerror(EILSEQ);
  }
  failure = {FixedText(Fixed::kPreviewFolderNotMade, {ProgramName(pattern).value_or(pattern), reason}),
             OopsCaption()};
  return std::nullopt;
}

PreviewFolder& CurrentPreviewFolder() { return CurrentSession().Part<PreviewFolder>(); }

void CopyReferencedFiles(const std::string& sourceFolder, const std::string& previewFolder,
                         const std::string& pageName, const std::string& page) {
  const std::set<std::string_view> words = NamedWords(page);
  if (words.empty()) return;
  std::error_code ec;
  const fs::path source = sourceFolder.empty() ? fs::path(".") : fs::path(SystemName(sourceFolder));
  // The preview folder is never its own source.
  if (fs::equivalent(source, SystemName(previewFolder), ec)) return;
  fs::directory_iterator it(source, fs::directory_options::skip_permission_denied, ec);
  if (ec) return;
  size_t looked = 0;
  std::uintmax_t total = 0;
  for (; it != fs::directory_iterator() && looked < kListingLimit; it.increment(ec), ++looked) {
    if (ec) break;
    const fs::directory_entry& entry = *it;
    std::error_code fileError;
    // A link is left out: it may lead anywhere, and the preview takes only
    // the folder's own files.
    if (entry.is_symlink(fileError) || !entry.is_regular_file(fileError)) continue;
    const auto name = ProgramName(entry.path().filename().string());
    if (!name || !words.contains(*name)) continue;
    const std::uintmax_t size = entry.file_size(fileError);
    if (fileError || size > kCopyFileLimit || total + size > kCopyTotalLimit) continue;
    const fs::path target = fs::path(SystemName(previewFolder)) / entry.path().filename();
    // The page just written keeps its place.
    if (*name == pageName) continue;
    if (fs::copy_file(entry.path(), target, fs::copy_options::overwrite_existing, fileError)) total += size;
  }
}

}  // namespace kio
