#include "platform/rtf.h"

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/text_encoding.h"

namespace kio {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Character formatting that a group carries.
struct CharFormat {
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int colour = -1;  // 0xRRGGBB, or -1 for the panel's own text colour
  bool operator==(const CharFormat&) const = default;
};

enum class Align { Left, Centre, Right, Justify };

// Control words that stand for one character.
constexpr std::pair<std::string_view, char32_t> kNamedCharacters[] = {
    {"tab", '\t'},      {"bullet", 0x2022}, {"emdash", 0x2014},    {"endash", 0x2013},
    {"lquote", 0x2018}, {"rquote", 0x2019}, {"ldblquote", 0x201C}, {"rdblquote", 0x201D},
};

// What the reader reports, in document order.
class RtfSink {
 public:
  virtual ~RtfSink() = default;
  virtual void Character(char32_t cp, const CharFormat& format, Align align) = 0;
  virtual void LineBreak(Align align) = 0;
  virtual void ParagraphEnd(Align align) = 0;
};

// Walks an RTF text once: tokens, the group stack with its formatting, the
// destinations to leave out and the colour table. Every step consumes at
// least one byte, so any input ends.
class RtfReader {
 public:
  RtfReader(const std::string& rtf, RtfSink& sink) : rtf_(rtf), sink_(sink) {}

  void Run() {
    const size_t n = rtf_.size();
    while (pos_ < n) {
      char c = rtf_[pos_++];
      if (c == '{') {
        groups_.push_back(groups_.back());
        groupStart_ = true;
        fallbackLeft_ = 0;
      } else if (c == '}') {
        if (groups_.size() > 1) groups_.pop_back();  // a surplus "}" changes nothing
        groupStart_ = false;
        fallbackLeft_ = 0;
      } else if (c == '\r' || c == '\n') {
        // Line breaks of the file itself are not text.
      } else if (c == '\\') {
        ControlSequence();
        groupStart_ = false;
      } else {
        groupStart_ = false;
        Text(Cp1252CodePoint(static_cast<unsigned char>(c)));
      }
    }
    FlushSurrogate();
  }

 private:
  enum class Destination { Text, Skip, ColourTable };

  struct Group {
    Destination destination = Destination::Text;
    CharFormat format;
    Align align = Align::Left;
    int unicodeFallback = 1;  // \ucN: characters that follow each \uN
  };

  Group& State() { return groups_.back(); }

  // The characters standing in for a \uN character are read and dropped.
  bool InFallback() {
    if (fallbackLeft_ == 0) return false;
    --fallbackLeft_;
    return true;
  }

  void Text(char32_t cp) {
    if (!InFallback()) Emit(cp);
  }

  void Emit(char32_t cp) {
    FlushSurrogate();
    Group& g = State();
    if (g.destination == Destination::Text) {
      sink_.Character(cp, g.format, g.align);
    } else if (g.destination == Destination::ColourTable && cp == ';') {
      colours_.push_back(colourSet_ ? ((red_ << 16) | (green_ << 8) | blue_) : -1);
      red_ = green_ = blue_ = 0;
      colourSet_ = false;
    }
  }

  // A high surrogate waits for its low half; alone it is a damaged character.
  void FlushSurrogate() {
    if (highSurrogate_ == 0) return;
    highSurrogate_ = 0;
    Group& g = State();
    if (g.destination == Destination::Text) sink_.Character(0xFFFD, g.format, g.align);
  }

  void ControlSequence() {
    const size_t n = rtf_.size();
    if (pos_ >= n) return;  // a lone "\" at the end
    char d = rtf_[pos_];
    if (d == '\'') {
      ++pos_;
      int value = 0;
      int digits = 0;
      while (digits < 2 && pos_ < n && HexValue(rtf_[pos_]) >= 0) {
        value = value * 16 + HexValue(rtf_[pos_++]);
        ++digits;
      }
      if (digits == 2) Text(Cp1252CodePoint(static_cast<unsigned char>(value)));
      return;
    }
    if (IsLetter(d)) {
      ControlWord();
      return;
    }
    ++pos_;
    if (InFallback()) return;
    switch (d) {
      case '\\':
      case '{':
      case '}': Emit(static_cast<unsigned char>(d)); break;
      case '~': Emit(0xA0); break;
      case '_': Emit('-'); break;
      case '*': State().destination = Destination::Skip; break;
      case '\r':
      case '\n': Paragraph(); break;  // "\" before a line break is \par
      default: break;                 // \- optional hyphen, \| and the like
    }
  }

  void ControlWord() {
    const size_t n = rtf_.size();
    size_t start = pos_;
    while (pos_ < n && IsLetter(rtf_[pos_])) ++pos_;
    std::string_view word(rtf_.data() + start, pos_ - start);
    bool negative = false;
    if (pos_ + 1 < n && rtf_[pos_] == '-' && IsDigit(rtf_[pos_ + 1])) {
      negative = true;
      ++pos_;
    }
    bool hasParam = false;
    long long param = 0;
    while (pos_ < n && IsDigit(rtf_[pos_])) {
      hasParam = true;
      if (param < 1'000'000'000) param = param * 10 + (rtf_[pos_] - '0');  // larger numbers stay large
      ++pos_;
    }
    if (negative) param = -param;
    if (pos_ < n && rtf_[pos_] == ' ') ++pos_;  // the delimiter belongs to the word

    if (word == "bin") {  // binary data of `param` bytes
      if (hasParam && param > 0) pos_ += static_cast<size_t>(std::min<long long>(param, n - pos_));
      return;
    }
    if (InFallback()) return;
    Group& g = State();
    if (groupStart_ && (word == "fonttbl" || word == "stylesheet" || word == "info" || word == "pict" ||
                        word == "header" || word == "footer")) {
      g.destination = Destination::Skip;
      return;
    }
    if (groupStart_ && word == "colortbl") {
      g.destination = Destination::ColourTable;
      colours_.clear();
      red_ = green_ = blue_ = 0;
      colourSet_ = false;
      return;
    }
    if (word == "uc") {
      if (hasParam) g.unicodeFallback = static_cast<int>(std::clamp<long long>(param, 0, 16));
      return;
    }
    if (word == "u" && hasParam) {
      Unicode(param);
      return;
    }
    if (g.destination == Destination::ColourTable) {
      int component = static_cast<int>(std::clamp<long long>(param, 0, 255));
      if (word == "red")
        red_ = component, colourSet_ = true;
      else if (word == "green")
        green_ = component, colourSet_ = true;
      else if (word == "blue")
        blue_ = component, colourSet_ = true;
      return;
    }
    if (g.destination != Destination::Text) return;

    for (const auto& [name, cp] : kNamedCharacters)
      if (word == name) {
        Emit(cp);
        return;
      }
    bool on = !hasParam || param != 0;
    if (word == "par")
      Paragraph();
    else if (word == "line")
      LineBreak();
    else if (word == "b")
      g.format.bold = on;
    else if (word == "i")
      g.format.italic = on;
    else if (word == "ul")
      g.format.underline = on;
    else if (word == "ulnone")
      g.format.underline = false;
    else if (word == "plain")
      g.format = CharFormat{};
    else if (word == "cf")
      g.format.colour =
          hasParam && param >= 0 && param < static_cast<long long>(colours_.size()) ? colours_[param] : -1;
    else if (word == "pard" || word == "ql")
      g.align = Align::Left;
    else if (word == "qc")
      g.align = Align::Centre;
    else if (word == "qr")
      g.align = Align::Right;
    else if (word == "qj")
      g.align = Align::Justify;
    // Any other control word changes nothing shown here.
  }

  // \uN: N is a signed 16-bit number, negative values standing for N + 65536;
  // characters beyond the 16 bits come as a surrogate pair.
  void Unicode(long long value) {
    if (value < 0) value += 65536;
    char32_t cp = 0xFFFD;
    if (value >= 0xD800 && value <= 0xDBFF) {
      FlushSurrogate();
      highSurrogate_ = static_cast<char32_t>(value);
      fallbackLeft_ = State().unicodeFallback;
      return;
    }
    if (value >= 0xDC00 && value <= 0xDFFF) {
      if (highSurrogate_ != 0) cp = 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (value - 0xDC00);
      highSurrogate_ = 0;
    } else if (value >= 0 && value <= 0x10FFFF) {
      cp = static_cast<char32_t>(value);
    }
    Emit(cp);
    fallbackLeft_ = State().unicodeFallback;
  }

  void Paragraph() {
    FlushSurrogate();
    if (State().destination == Destination::Text) sink_.ParagraphEnd(State().align);
  }

  void LineBreak() {
    FlushSurrogate();
    if (State().destination == Destination::Text) sink_.LineBreak(State().align);
  }

  const std::string& rtf_;
  RtfSink& sink_;
  size_t pos_ = 0;
  std::vector<Group> groups_{Group{}};
  bool groupStart_ = false;  // the last token opened a group
  int fallbackLeft_ = 0;     // characters still to drop after a \uN
  char32_t highSurrogate_ = 0;
  std::vector<int> colours_;  // the colour table; -1 for an automatic entry
  int red_ = 0, green_ = 0, blue_ = 0;
  bool colourSet_ = false;
};

class PlainTextWriter : public RtfSink {
 public:
  void Character(char32_t cp, const CharFormat&, Align) override {
    auto b = Cp1252Byte(cp);
    text_ += b ? static_cast<char>(*b) : '?';
  }
  void LineBreak(Align) override { text_ += '\n'; }
  void ParagraphEnd(Align) override { text_ += '\n'; }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

// Paragraphs have no margins, as in an RTF panel, and keep their spaces and
// tabs as written.
class HtmlWriter : public RtfSink {
 public:
  void Character(char32_t cp, const CharFormat& format, Align align) override {
    if ((cp < 0x20 && cp != '\t') || (cp >= 0x7F && cp < 0xA0)) return;  // control characters show nothing
    OpenParagraph(align);
    SetFormat(format);
    switch (cp) {
      case '&': html_ += "&amp;"; break;
      case '<': html_ += "&lt;"; break;
      case '>': html_ += "&gt;"; break;
      case 0xA0: html_ += "&nbsp;"; break;
      default: AppendUtf8(html_, cp);
    }
  }

  void LineBreak(Align align) override {
    OpenParagraph(align);
    html_ += "<br>";
  }

  void ParagraphEnd(Align align) override {
    if (!paragraphOpen_) {
      OpenParagraph(align);
      html_ += "&nbsp;";  // an empty paragraph keeps its line
    }
    CloseParagraph();
  }

  std::string Take() {
    CloseParagraph();
    return std::move(html_);
  }

 private:
  void OpenParagraph(Align align) {
    if (paragraphOpen_) return;
    html_ += "<p";
    if (align == Align::Centre)
      html_ += " align=\"center\"";
    else if (align == Align::Right)
      html_ += " align=\"right\"";
    else if (align == Align::Justify)
      html_ += " align=\"justify\"";
    html_ += " style=\"margin-top:0; margin-bottom:0; white-space:pre-wrap\">";
    paragraphOpen_ = true;
  }

  void CloseParagraph() {
    if (!paragraphOpen_) return;
    SetFormat(CharFormat{});
    html_ += "</p>";
    paragraphOpen_ = false;
  }

  // Tags nest in one fixed order: colour, bold, italic, underline. A change
  // closes the tags from the first level that differs inwards and opens the
  // new ones from there, so they always nest properly.
  void SetFormat(const CharFormat& format) {
    if (format == open_) return;
    const bool oldOn[] = {open_.colour >= 0, open_.bold, open_.italic, open_.underline};
    const bool newOn[] = {format.colour >= 0, format.bold, format.italic, format.underline};
    int same = 0;  // levels left open as they are
    if (format.colour == open_.colour)
      for (same = 1; same < 4 && oldOn[same] == newOn[same];) ++same;
    static const char* const kClose[] = {"</span>", "</b>", "</i>", "</u>"};
    static const char* const kOpen[] = {nullptr, "<b>", "<i>", "<u>"};
    for (int level = 3; level >= same; --level)
      if (oldOn[level]) html_ += kClose[level];
    for (int level = same; level < 4; ++level) {
      if (!newOn[level]) continue;
      if (level > 0) {
        html_ += kOpen[level];
        continue;
      }
      static const char kHex[] = "0123456789abcdef";
      html_ += "<span style=\"color:#";
      for (int shift = 20; shift >= 0; shift -= 4) html_ += kHex[(format.colour >> shift) & 0xF];
      html_ += "\">";
    }
    open_ = format;
  }

  std::string html_;
  bool paragraphOpen_ = false;
  CharFormat open_;
};

}  // namespace

std::string RtfToPlainText(const std::string& rtf) {
  PlainTextWriter writer;
  RtfReader(rtf, writer).Run();
  return writer.Take();
}

std::string RtfToHtml(const std::string& rtf) {
  HtmlWriter writer;
  RtfReader(rtf, writer).Run();
  return writer.Take();
}

}  // namespace kio
