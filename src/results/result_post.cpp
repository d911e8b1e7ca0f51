#include "results/result_post.h"

#include <openssl/evp.h>

#include <array>
#include <cstdio>

namespace kio::results {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> DecodeComponent(const std::string& text, size_t begin, size_t end) {
  std::string out;
  out.reserve(end - begin);
  for (size_t i = begin; i < end; ++i) {
    char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%') {
      if (i + 2 >= end) return std::nullopt;
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      if (high < 0 || low < 0) return std::nullopt;
      out += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

// Number of code points of valid UTF-8.
size_t CharCount(const std::string& text) {
  size_t count = 0;
  for (unsigned char c : text) count += (c & 0xC0) != 0x80;
  return count;
}

// Control characters other than the line breaks and tabs a text area holds.
bool HasControl(const std::string& text, bool multiline) {
  for (unsigned char c : text) {
    if (c == 0x7F) return true;
    if (c < 0x20 && !(multiline && (c == '\n' || c == '\r' || c == '\t'))) return true;
  }
  return false;
}

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

bool AllDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

bool ValidDate(const std::string& date) {
  int y, m, d;
  char tail;
  if (date.size() != 10 || date[4] != '-' || date[7] != '-') return false;
  if (!AllDigits(date.substr(0, 4)) || !AllDigits(date.substr(5, 2)) || !AllDigits(date.substr(8, 2)))
    return false;
  if (std::sscanf(date.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &tail) != 3) return false;
  static const int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1970 || m < 1 || m > 12 || d < 1 || d > kDays[m - 1]) return false;
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return !(m == 2 && d == 29 && !leap);
}

bool ValidTime(const std::string& time) {
  if (time.size() != 5 && time.size() != 8) return false;
  auto two = [&](size_t at, int max) {
    return AllDigits(time.substr(at, 2)) && std::stoi(time.substr(at, 2)) <= max;
  };
  if (time[2] != ':' || !two(0, 23) || !two(3, 59)) return false;
  return time.size() == 5 || (time[5] == ':' && two(6, 59));
}

bool TokenChars(const std::string& text) {
  for (char c : text) {
    bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

std::optional<FormFields> DecodeFormBody(const std::string& body) {
  FormFields fields;
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string::npos) end = body.size();
    if (end > start) {
      size_t equals = body.find('=', start);
      size_t nameEnd = equals < end ? equals : end;
      auto name = DecodeComponent(body, start, nameEnd);
      auto value = nameEnd < end ? DecodeComponent(body, nameEnd + 1, end) : std::optional<std::string>("");
      if (!name || !value) return std::nullopt;
      fields.emplace_back(std::move(*name), std::move(*value));
    }
    start = end + 1;
  }
  return fields;
}

bool IsValidUtf8(const std::string& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    unsigned char c = text[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    int length;
    unsigned int point;
    if (c >= 0xC2 && c <= 0xDF) {
      length = 2;
      point = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3;
      point = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4;
      point = c & 0x07;
    } else {
      return false;
    }
    if (i + length > n) return false;
    for (int k = 1; k < length; ++k) {
      unsigned char next = text[i + k];
      if ((next & 0xC0) != 0x80) return false;
      point = (point << 6) | (next & 0x3F);
    }
    if ((length == 3 && point < 0x800) || (length == 4 && (point < 0x10000 || point > 0x10FFFF)))
      return false;
    if (point >= 0xD800 && point <= 0xDFFF) return false;
    i += length;
  }
  return true;
}

bool ParseScore(const std::string& score, std::optional<int>& percent) {
  percent.reset();
  if (score == "-") return true;
  std::string number = score;
  if (!number.empty() && number.back() == '%') number.pop_back();
  if (AllDigits(number) && number.size() <= 3) {
    int value = std::stoi(number);
    if (value > 100) return false;
    percent = value;
    return true;
  }
  size_t slash = score.find('/');
  if (slash == std::string::npos) return false;
  std::string right = score.substr(0, slash), total = score.substr(slash + 1);
  if (!AllDigits(right) || !AllDigits(total) || right.size() > 6 || total.size() > 6) return false;
  long a = std::stol(right), b = std::stol(total);
  if (b == 0 || a > b) return false;
  percent = static_cast<int>((200 * a + b) / (2 * b));  // rounded half up
  return true;
}

CheckedPost CheckResultPost(const FormFields& fields) {
  struct Spec {
    const char* name;
    bool required;
    size_t maxChars;
    bool multiline;
  };
  static const Spec kFields[] = {
      {"name", true, kMaxNameChars, false},
      {"file", true, kMaxFileChars, false},
      {"score", true, 16, false},
      {"details", false, kMaxDetailsChars, true},
      {"date", true, 10, false},
      {"time", true, 8, false},
      {"activity", true, kMaxActivityChars, false},
      {"id", false, 64, false},
  };
  std::string values[std::size(kFields)];
  bool seen[std::size(kFields)] = {};
  for (const auto& [name, value] : fields) {
    for (size_t k = 0; k < std::size(kFields); ++k) {
      if (name != kFields[k].name) continue;
      if (seen[k]) return {std::nullopt, std::string("the field ") + name + " is sent twice"};
      seen[k] = true;
      values[k] = value;
    }
  }
  for (size_t k = 0; k < std::size(kFields); ++k) {
    const Spec& spec = kFields[k];
    std::string& value = values[k];
    if (!IsValidUtf8(value))
      return {std::nullopt, std::string("the field ") + spec.name + " is not UTF-8 text"};
    if (HasControl(value, spec.multiline))
      return {std::nullopt, std::string("the field ") + spec.name + " holds control characters"};
    if (!spec.multiline) value = Trim(value);
    if (spec.required && value.empty())
      return {std::nullopt, std::string("the field ") + spec.name + " is missing"};
    if (CharCount(value) > spec.maxChars)
      return {std::nullopt, std::string("the field ") + spec.name + " is longer than " +
                                std::to_string(spec.maxChars) + " characters"};
  }
  ResultPost post;
  post.name = values[0];
  post.file = values[1];
  post.score = values[2];
  // Line breaks as the browser sends them ("\r\n") are kept as "\n".
  for (size_t i = 0; i < values[3].size(); ++i)
    if (!(values[3][i] == '\r' && i + 1 < values[3].size() && values[3][i + 1] == '\n'))
      post.details += values[3][i];
  post.date = values[4];
  post.time = values[5];
  post.activity = values[6];
  post.id = values[7];
  if (!ParseScore(post.score, post.percent))
    return {std::nullopt, "the field score is not a score (75%, 3/4 or -)"};
  if (!ValidDate(post.date)) return {std::nullopt, "the field date is not a date (YYYY-MM-DD)"};
  if (!ValidTime(post.time)) return {std::nullopt, "the field time is not a time (HH:MM)"};
  if (!TokenChars(post.activity))
    return {std::nullopt, "the field activity may hold only letters, digits, - and _"};
  if (!post.id.empty() && (post.id.size() < 8 || !TokenChars(post.id)))
    return {std::nullopt, "the field id must be 8 to 64 letters, digits, - or _"};
  return {std::move(post), ""};
}

std::string Hex(const unsigned char* bytes, size_t size) {
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * size);
  for (size_t i = 0; i < size; ++i) {
    hex += kHex[bytes[i] >> 4];
    hex += kHex[bytes[i] & 15];
  }
  return hex;
}

std::string DeduplicationKey(const ResultPost& post) {
  // Results posted under a teacher's token are theirs alone: the same post
  // to two teachers is two results. Results without a token keep the keys
  // they always had.
  if (!post.teacher.empty()) {
    ResultPost bare = post;
    bare.teacher.clear();
    return "t:" + post.teacher + ":" + DeduplicationKey(bare);
  }
  if (!post.id.empty()) return "id:" + post.id;
  // Each field with its length in front, so that no two different posts
  // give the same text to digest.
  std::string text;
  for (const std::string* field :
       {&post.activity, &post.file, &post.name, &post.score, &post.details, &post.date, &post.time})
    text += std::to_string(field->size()) + ":" + *field;
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest.data(), &length, EVP_sha256(), nullptr);
  return "sha256:" + Hex(digest.data(), length);
}

}  // namespace kio::results
