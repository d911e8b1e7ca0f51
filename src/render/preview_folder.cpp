#include "render/preview_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iterator>
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

constexpr size_t kPathLimit = 2000;  // names with folders looked up

// The words of a page that may name a file: what stands between quotes,
// signs and blanks, e.g. casa.jpg in <img src='casa.jpg'>, 'casa.jpg' in a
// script, unit1/menu.htm in a link. A file's name holds a dot (its
// extension); an address (with ":") is no file of the teacher's.
struct NamedFiles {
  std::set<std::string_view> bare;   // names without a folder
  std::set<std::string_view> paths;  // names below a folder, "pics/casa.jpg"
};

NamedFiles NamedWords(const std::string& page) {
  static constexpr std::string_view kBetween = "\"'=()<>[]{},;?#&\\ \t\r\n";
  NamedFiles named;
  size_t start = 0;
  const std::string_view text(page);
  while (start < text.size()) {
    size_t end = text.find_first_of(kBetween, start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(start, end - start);
    if (word.find('.') != std::string_view::npos && word.find(':') == std::string_view::npos)
      (word.find('/') == std::string_view::npos ? named.bare : named.paths).insert(word);
    start = end + 1;
  }
  return named;
}

// The file `relative` names below `source` when it is one of the folder's
// own: no absolute name, no "..", no link on the way, a plain file.
std::optional<fs::path> OwnFileBelow(const fs::path& source, const std::string& relative) {
  const fs::path name = fs::path(relative).lexically_normal();
  if (name.empty() || name.is_absolute() || !name.has_filename()) return std::nullopt;
  fs::path at = source;
  std::error_code ec;
  for (auto part = name.begin(); part != name.end(); ++part) {
    if (*part == ".." || *part == ".") return std::nullopt;
    at /= *part;
    const fs::file_type type = fs::symlink_status(at, ec).type();
    const bool last = std::next(part) == name.end();
    if (type != (last ? fs::file_type::regular : fs::file_type::directory)) return std::nullopt;
  }
  return name;
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
  const NamedFiles named = NamedWords(page);
  std::error_code ec;
  const fs::path source = sourceFolder.empty() ? fs::path(".") : fs::path(SystemName(sourceFolder));
  const fs::path preview = SystemName(previewFolder);
  // The preview folder is never its own source.
  if (fs::equivalent(source, preview, ec)) return;
  std::uintmax_t total = 0;
  // Copies the file `from` to `to` within the bounds.
  const auto copy = [&total](const fs::path& from, const fs::path& to) {
    std::error_code fileError;
    const std::uintmax_t size = fs::file_size(from, fileError);
    if (fileError || size > kCopyFileLimit || total + size > kCopyTotalLimit) return;
    fs::create_directories(to.parent_path(), fileError);
    if (fs::copy_file(from, to, fs::copy_options::overwrite_existing, fileError)) total += size;
  };

  // The names without a folder, from the folder's listing.
  fs::directory_iterator it(source, fs::directory_options::skip_permission_denied, ec);
  size_t looked = 0;
  for (; !ec && !named.bare.empty() && it != fs::directory_iterator() && looked < kListingLimit;
       it.increment(ec), ++looked) {
    const fs::directory_entry& entry = *it;
    std::error_code fileError;
    // A link is left out: it may lead anywhere, and the preview takes only
    // the folder's own files.
    if (entry.is_symlink(fileError) || !entry.is_regular_file(fileError)) continue;
    const auto name = ProgramName(entry.path().filename().string());
    // The page just written keeps its place.
    if (!name || !named.bare.contains(*name) || *name == pageName) continue;
    copy(entry.path(), preview / entry.path().filename());
  }

  // The names below a folder of its own, each looked up.
  size_t paths = 0;
  for (const std::string_view word : named.paths) {
    if (++paths > kPathLimit) break;
    if (auto name = OwnFileBelow(source, SystemName(std::string(word))))
      copy(source / *name, preview / *name);
  }
}

}  // namespace kio
