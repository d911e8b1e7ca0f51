#include "results/setup.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <openssl/rand.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "results/result_post.h"

namespace kio::results {

namespace fs = std::filesystem;

namespace {
constexpr size_t kMaxAddressBytes = 299;  // the capacity of the address field in KIO
}

std::string DefaultDataFolder() {
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data && *data) return (fs::path(data) / "kio-results").string();
  const char* home = std::getenv("HOME");
  return (fs::path(home && *home ? home : ".") / ".local" / "share" / "kio-results").string();
}

std::string AddressForStudents(const std::string& listen) {
  if (listen != "0.0.0.0" && listen != "::" && !listen.empty()) return listen;
  std::string best, fallback;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) == 0) {
    for (ifaddrs* a = list; a; a = a->ifa_next) {
      if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
      auto* in = reinterpret_cast<sockaddr_in*>(a->ifa_addr);
      uint32_t ip = ntohl(in->sin_addr.s_addr);
      if ((ip >> 24) == 127) continue;
      char text[INET_ADDRSTRLEN];
      inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
      bool privateNet = (ip >> 24) == 10 || (ip >> 20) == 0xAC1 || (ip >> 16) == 0xC0A8;
      if (privateNet && best.empty()) best = text;
      if (fallback.empty()) fallback = text;
    }
    freeifaddrs(list);
  }
  if (!best.empty()) return best;
  return fallback.empty() ? "127.0.0.1" : fallback;
}

std::string BaseAddress(const std::string& host, int port) {
  std::string h = host.find(':') != std::string::npos ? "[" + host + "]" : host;
  return "http://" + h + ":" + std::to_string(port);
}

std::string NewTeacherKey() {
  unsigned char bytes[16];
  if (RAND_bytes(bytes, sizeof bytes) != 1) std::abort();  // no randomness: no safe key
  return Hex(bytes, sizeof bytes);
}

std::string NewTeacherToken() { return NewTeacherKey().substr(0, 16); }

std::string CheckTeacherName(const std::string& name) {
  if (!IsValidUtf8(name)) return "a teacher's name must be UTF-8 text";
  size_t characters = 0;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F) return "a teacher's name may not hold control characters";
    if ((c & 0xC0) != 0x80) ++characters;
  }
  if (characters < 1 || characters > 100) return "a teacher's name must be 1 to 100 characters long";
  return "";
}

std::string WriteResultsAddress(const std::string& programFolder, const std::string& address) {
  if (address.size() < 2 || address.size() > kMaxAddressBytes)
    return "the address must be 2 to " + std::to_string(kMaxAddressBytes) + " bytes long";
  std::error_code error;
  fs::path folder(programFolder);
  if (!fs::is_directory(folder, error)) return programFolder + " is not a folder";
  if (!fs::exists(folder / "Configura.txt", error) && !fs::is_directory(folder / "Tmplates", error))
    return programFolder + " is not a KIO program folder (it has neither Configura.txt nor Tmplates)";
  fs::path target = folder / "Configura.txt";
  // KIO takes a Configura.txt it may not write for read-only media.
  if (fs::exists(target, error) && access(target.c_str(), W_OK) != 0)
    return target.string() + " may not be written: " + std::strerror(errno);
  fs::path temporary = folder / "Configura.txt.new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return "cannot write in " + programFolder + ": " + std::strerror(errno);
    out << address;  // the bare value: no line break after it
    out.flush();
    if (!out) {
      fs::remove(temporary, error);
      return "cannot write " + temporary.string();
    }
  }
  fs::rename(temporary, target, error);
  if (error) {
    fs::remove(temporary, error);
    return "cannot replace " + target.string() + ": " + error.message();
  }
  return "";
}

}  // namespace kio::results
