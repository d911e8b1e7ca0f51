#include "app/user_folder.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "fileio/failure.h"
#include "fileio/session.h"
#include "platform/file_names.h"
#include "platform/platform.h"
#include "platform/text_encoding.h"

// Where the installed program folder lies, seen from the installed bin/.
#ifndef KIO_DATA_FROM_BIN
#define KIO_DATA_FROM_BIN "../share/kio"
#endif

namespace kio {

namespace fs = std::filesystem;

namespace {

// The message for the teacher about the folder, shown once the program's
// window is up.
struct UserFolderNotice {
  std::string text, caption;
};

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return home;
  const passwd* pw = getpwuid(getuid());
  if (pw && pw->pw_dir && pw->pw_dir[0] == '/') return pw->pw_dir;
  return "";
}

// An XDG base folder: the variable when it holds an absolute path (the XDG
// rules say to ignore a relative one), otherwise its default under home.
std::string XdgBase(const char* variable, const char* underHome) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return value;
  std::string home = HomeFolder();
  return home.empty() ? "" : home + "/" + underHome;
}

std::optional<std::string> Sha256(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), std::streamsize(buffer.size()));
    if (in.gcount() > 0 && EVP_DigestUpdate(ctx.get(), buffer.data(), size_t(in.gcount())) != 1)
      return std::nullopt;
  }
  if (in.bad()) return std::nullopt;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1) return std::nullopt;
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned int i = 0; i < length; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 15];
  }
  return hex;
}

using ShippedList = std::map<std::string, std::string>;  // relative path -> SHA-256

// Reads the list in `sha256sum` layout; lines that do not fit are skipped.
ShippedList ReadShippedList(const fs::path& file, bool& found) {
  ShippedList list;
  std::ifstream in(file);
  found = bool(in);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() < 67 || line.compare(64, 2, "  ") != 0) continue;
    std::string hash = line.substr(0, 64);
    if (hash.find_first_not_of("0123456789abcdef") != std::string::npos) continue;
    list[line.substr(66)] = hash;
  }
  return list;
}

// Writes the list whole under a temporary name and renames it over the old.
void WriteShippedList(const fs::path& file, const ShippedList& list) {
  fs::path part = file;
  part += ".part";
  {
    std::ofstream out(part, std::ios::trunc);
    for (const auto& [path, hash] : list) out << hash << "  " << path << '\n';
    out.flush();
    if (!out) throw fs::filesystem_error("cannot write", part, std::make_error_code(std::errc::io_error));
  }
  fs::rename(part, file);
}

// Copies one shipped file under a temporary name and renames it into place,
// so that a copy cut short never leaves half a file; the teacher may write
// the copy whatever the installed file's mode.
void CopyShipped(const fs::path& from, const fs::path& to) {
  fs::create_directories(to.parent_path());
  fs::path part = to.parent_path() / ("." + to.filename().string() + ".part");
  fs::copy_file(from, part, fs::copy_options::overwrite_existing);
  fs::permissions(part, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
  fs::rename(part, to);
}

// The files of the installed folder, by path relative to it.
std::vector<std::string> ShippedFiles(const fs::path& installed) {
  std::vector<std::string> files;
  for (auto it = fs::recursive_directory_iterator(installed); it != fs::recursive_directory_iterator();
       ++it) {
    if (!it->is_regular_file()) continue;
    std::string rel = it->path().lexically_relative(installed).generic_string();
    // Names the list cannot hold are not shipped files of ours.
    if (rel.find_first_of("\n\\") != std::string::npos) continue;
    files.push_back(rel);
  }
  return files;
}

bool IsDictionaryFile(const std::string& rel) {
  std::string ext = ToLower(fs::path(rel).extension().string());
  return ext == ".kio" || ext == ".kpo";
}

// Files that are replaced together: a dictionary's data and pointer files
// (NAME.kio, NAME.kpo) are one unit, since a new data file with an old
// pointer file is a damaged dictionary; every other file stands alone.
std::map<std::string, std::vector<std::string>> Units(const std::vector<std::string>& files) {
  std::map<std::string, std::vector<std::string>> units;
  for (const auto& rel : files) {
    // A pair's key is its data file's name in lower case.
    std::string key = rel;
    if (IsDictionaryFile(rel)) key = ToLower(fs::path(rel).replace_extension(".kio").generic_string());
    units[key].push_back(rel);
  }
  return units;
}

// A dictionary save that stopped half way is finished or undone by the next
// opening of a dictionary in that folder; its files must meet the pair they
// were made for.
bool SaveUnfinished(const fs::path& folder) {
  for (const char* name : {"tempglo", "temppont", "tempcommit"})
    if (fs::exists(folder / name)) return true;
  return false;
}

// Holds an exclusive lock on a folder while it lives, so that two programs
// starting at once do not both bring it up to date.
class FolderLock {
 public:
  explicit FolderLock(const fs::path& folder)
      : fd_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_ >= 0) flock(fd_, LOCK_EX);
  }
  ~FolderLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

void BringUpToDate(const fs::path& installed, const fs::path& user, UserFolderUpdate& result) {
  FolderLock lock(user);
  const fs::path listFile = user / kShippedListName;
  bool found = false;
  const ShippedList recorded = ReadShippedList(listFile, found);
  result.made = !found;
  ShippedList next;

  for (const auto& [key, members] : Units(ShippedFiles(installed))) {
    struct State {
      std::string rel, shipped;
      const std::string* recorded;
      bool present;
      std::optional<std::string> own;  // the user's copy, hashed only when needed
    };
    std::vector<State> states;
    bool shipChanged = false, missing = false;
    for (const auto& rel : members) {
      auto shipped = Sha256(installed / rel);
      if (!shipped)
        throw fs::filesystem_error("cannot read", installed / rel, std::make_error_code(std::errc::io_error));
      auto it = recorded.find(rel);
      State s{rel, *shipped, it == recorded.end() ? nullptr : &it->second, fs::exists(user / rel), {}};
      shipChanged |= !s.recorded || *s.recorded != s.shipped;
      missing |= !s.present;
      states.push_back(std::move(s));
    }
    if (!shipChanged && !missing) {  // the usual start: nothing shipped changed
      for (const auto& s : states) next[s.rel] = s.shipped;
      continue;
    }
    // The unit follows the installation only when every copy the user has is
    // the one last shipped, or already the new one; what is missing comes
    // back (a pair only whole, since a present half that was changed keeps
    // the unit as it is).
    bool follow = !(IsDictionaryFile(key) && SaveUnfinished((user / members[0]).parent_path()));
    for (auto& s : states) {
      if (!s.present) continue;
      s.own = Sha256(user / s.rel);
      follow &= s.own && ((s.recorded && *s.own == *s.recorded) || *s.own == s.shipped);
    }
    for (const auto& s : states) {
      if (follow) {
        if (!s.present || *s.own != s.shipped) {
          CopyShipped(installed / s.rel, user / s.rel);
          ++result.copied;
        }
        next[s.rel] = s.shipped;
      } else {
        // Kept as the teacher left it; the list keeps what was shipped
        // before, so that the copy still reads as changed next time.
        if (s.present && s.own && *s.own == s.shipped)
          next[s.rel] = s.shipped;
        else if (s.recorded)
          next[s.rel] = *s.recorded;
        if (s.present && !(s.own && *s.own == s.shipped)) ++result.kept;
      }
    }
  }
  if (!found || next != recorded) WriteShippedList(listFile, next);
}

std::string Shown(const std::string& path) { return ProgramName(path).value_or(path); }

void Queue(const std::string& text, const std::string& caption) {
  CurrentSession().Part<UserFolderNotice>() = {text, caption};
}

}  // namespace

UserFolderUpdate UpdateUserFolder(const std::string& installed, const std::string& user) {
  UserFolderUpdate result;
  try {
    fs::create_directories(user);
    BringUpToDate(installed, user, result);
  } catch (const fs::filesystem_error& e) {
    result.error = e.code().message();
  } catch (const std::exception& e) {
    result.error = e.what();
  }
  return result;
}

std::string InstalledProgramFolder(const std::string& executableFolder) {
  std::error_code ec;
  if (fs::exists(fs::path(executableFolder) / "Configura.txt", ec)) return "";
  fs::path installed = (fs::path(executableFolder) / KIO_DATA_FROM_BIN).lexically_normal();
  if (!fs::exists(installed / "Configura.txt", ec)) return "";
  return installed.string();
}

std::string UserProgramFolder() {
  std::string data = XdgBase("XDG_DATA_HOME", ".local/share");
  return data.empty() ? "" : data + "/kio";
}

std::string XdgDocumentsFolder() {
  std::string home = HomeFolder();
  std::string value;
  std::ifstream dirs(XdgBase("XDG_CONFIG_HOME", ".config") + "/user-dirs.dirs");
  std::string line;
  while (std::getline(dirs, line)) {
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 18, "XDG_DOCUMENTS_DIR=") != 0) continue;
    // The value as the shell reads it: quotes removed, \" \\ \$ \` unescaped,
    // $HOME (or ${HOME}) replaced by the home folder.
    std::string raw = line.substr(start + 18), text;
    bool quoted = false;
    for (size_t i = 0; i < raw.size(); ++i) {
      char c = raw[i];
      if (c == '"') {
        quoted = !quoted;
      } else if (c == '\\' && i + 1 < raw.size()) {
        text += raw[++i];
      } else if (c == '$' && raw.compare(i, 5, "$HOME") == 0) {
        text += home;
        i += 4;
      } else if (c == '$' && raw.compare(i, 7, "${HOME}") == 0) {
        text += home;
        i += 6;
      } else if (!quoted && (c == '#' || c == ' ' || c == '\t')) {
        break;
      } else {
        text += c;
      }
    }
    value = text;  // the last setting wins, as when the shell reads the file
  }
  if (value.empty()) {
    const char* env = std::getenv("XDG_DOCUMENTS_DIR");
    if (env) value = env;
  }
  std::error_code ec;
  if (value.empty() || value[0] != '/' || !fs::is_directory(value, ec)) value = home;
  if (value.empty()) return "";
  return WithSlash(value);
}

std::string SettleProgramFolder(const std::string& executableFolder) {
  std::string installed = InstalledProgramFolder(executableFolder);
  if (installed.empty()) return executableFolder;
  // Documents never default to a folder inside the program's own.
  // Kept, like every name the program holds, as a program text; a folder
  // whose name those texts cannot hold is left to start-up's own choice.
  CurrentSession().appPaths.documentsFolder = ProgramName(XdgDocumentsFolder()).value_or("");

  std::string user = UserProgramFolder();
  UserFolderUpdate update;
  if (user.empty())
    update.error = "no home folder";
  else
    update = UpdateUserFolder(installed, user);

  if (update.error.empty()) {
    if (update.made)
      Queue(Win1252("O KIO guarda a sua cópia das configurações, línguas,\r\n"
                    "modelos e dicionários na pasta\r\n    ") +
                Shown(user) +
                Win1252("\r\nÉ lá que ficam as suas escolhas e o seu dicionário.\r\n"
                        "Os seus documentos ficam em\r\n    ") +
                CurrentSession().appPaths.documentsFolder +
                "\r\n\r\nKIO keeps your copy of its settings, languages,\r\n"
                "templates and dictionaries in the folder\r\n    " +
                Shown(user) +
                "\r\nYour choices and your dictionary are kept there.\r\n"
                "Your documents go to\r\n    " +
                CurrentSession().appPaths.documentsFolder + "\r\n",
            "KIO");
    return user;
  }

  // A folder that was made before still holds the teacher's settings and
  // dictionary: go on with it. Otherwise run from the installation itself,
  // which the program takes for read-only media.
  std::error_code ec;
  bool usable = !user.empty() && fs::exists(fs::path(user) / "Configura.txt", ec);
  std::string folder = usable ? user : installed;
  Queue(Win1252("O KIO não conseguiu preparar a sua pasta\r\n") + Shown(user) + " (" + Shown(update.error) +
            Win1252(").\r\nO KIO vai usar a pasta\r\n") + Shown(folder) +
            "\r\n\r\nKIO could not prepare your folder\r\n" + Shown(user) + " (" + Shown(update.error) +
            ").\r\nKIO will use the folder\r\n" + Shown(folder) + "\r\n",
        OopsCaption());
  return folder;
}

void ShowUserFolderNotice() {
  UserFolderNotice notice;
  std::swap(notice, CurrentSession().Part<UserFolderNotice>());
  if (!notice.text.empty()) ShowMessage(notice.text, notice.caption);
}

}  // namespace kio
