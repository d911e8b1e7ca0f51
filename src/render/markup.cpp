#include "render/markup.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "fileio/file.h"
#include "fileio/session.h"
#include "platform/text.h"
#include "render/page_build.h"
#include "render/page_settings.h"

namespace kio {

namespace {

enum class Mode { kPlain, kMemory, kStrip };

// A tag may be at most 51 characters, both brackets included.
constexpr size_t kLongestTag = 50;

bool In(const std::string& x, std::initializer_list<const char*> list) {
  for (const char* s : list)
    if (x == s) return true;
  return false;
}

// A size value fits its field: a longer one is cut to the field's length.
std::string SizeValue(const std::string& v) { return v.substr(0, kMediaSizeLimit); }

struct Accepted {
  bool accepted = false;
  std::string replacement;
  bool collect = true;  // appended to the collected markup
  bool switchToStrip = false;
};

// The work done by the current rendering, against the limits.
struct Work {
  uint64_t spans = 0;
  uint64_t moved = 0;
  bool exceeded = false;
  // Whether this rendering collects markup: only the pages that read the
  // collection ask for it; for the others it would only grow (with the
  // square of the number of codes) and stop long texts at its limit.
  bool collect = true;
  // A page that reads only the first runs of letters of the collection
  // (Eclipse) has it stop once it holds `wordsWanted` of them.
  bool (*isLetter)(unsigned char) = nullptr;
  size_t wordsWanted = 0;
  size_t words = 0;
};

// What one rendering reads and changes: the page's settings, the media
// sizes, the collected markup and the marks it leaves for the page's writing
// (a work limit reached, video players needed). Bound to a page-build
// context.
struct Target {
  PageSettings& settings;
  std::string& mediaWidth;
  std::string& mediaHeight;
  std::string& collected;
  bool& workLimitReached;
  bool& playerFilesNeeded;
  Work work{};
};

// The acceptance test and the replacement of one span "{...}".
Accepted TrySpan(const std::string& span, Mode mode, Target& to) {
  Accepted a;
  std::string t = ToLower(span.substr(1, span.size() - 2));
  // The extension runs from the last dot and needs two characters after it;
  // a text without a dot is its own extension and needs two characters.
  const size_t dot = t.rfind('.');
  const std::string x = dot == std::string::npos ? t : t.substr(dot);
  if (dot == std::string::npos ? t.size() < 2 : x.size() < 3) return a;

  PageSettings& p = to.settings;
  // Frame colours take effect at once, in every mode.
  if (In(x, {".bg1", ".bg2", ".bg3", ".box", ".fo1", ".fo2", ".fo3"})) {
    t = ReplaceAll(t, x, "");
    std::string* field = x == ".bg1"   ? &p.background1
                         : x == ".bg2" ? &p.background2
                         : x == ".bg3" ? &p.background3
                         : x == ".box" ? &p.boxColor
                         : x == ".fo1" ? &p.fontColor1
                         : x == ".fo2" ? &p.fontColor2
                                       : &p.fontColor3;
    *field = t;
  }

  std::string prefix = ToLower(span.substr(0, 3));
  std::string v;
  bool byPrefix = false;
  if (In(prefix, {"{i=", "{a=", "{v=", "{f=", "{s=", "{h=", "{t="})) {
    byPrefix = true;
    v = t.size() >= 2 ? t.substr(2) : "";
  } else if (In(ToLower(span.substr(0, 4)), {"{f1=", "{f2=", "{f3="})) {
    a.accepted = true;
    a.collect = false;
    a.switchToStrip = true;
    return a;
  } else if (In(x, {".mov", ".wav", ".mp3", ".avi", ".jpg", ".gif", ".col", ".alt", ".siz",
                    ".fon", ".bgc", ".rmi", ".rm",  ".mpg", ".mid", ".wmv", ".au",  ".wma",
                    ".bg1", ".bg2", ".bg3", ".box", ".fo1", ".fo2", ".fo3"})) {
    v = t;
  } else {
    return a;
  }
  a.accepted = true;
  const char code = byPrefix ? prefix[1] : '\0';
  // A picture or a sound is given by its code or by its extension.
  const bool picture = byPrefix ? code == 'i' : In(x, {".jpg", ".gif"});
  const bool sound = byPrefix ? code == 'a' : In(x, {".wav", ".mp3", ".rmi", ".rm", ".mid", ".au", ".wma"});

  if (mode == Mode::kMemory) {
    // Fixed sizes; the media sizes are neither used nor changed.
    if (picture)
      a.replacement = "<img src=\"" + v + "\" width=\"128\" height=\"78\">";
    else if (sound)
      a.replacement = "<embed src=\"" + v + "\"width=\"115\" height=\"45\" AUTOSTART=\"false\"> </embed>";
    else if (byPrefix && code == 'v')
      a.replacement = "<embed src=\"" + v + "\" width=\"85\" height=\"75\" AUTOSTART=\"false\"> </embed></p>";
    else if (byPrefix && code == 'f')
      a.replacement =
          "<object width=\"138\" height=\"87\" id=\"FLVPlayer\"><param name=\"movie\"value = "
          "\"FLVPlayer_Progressive.swf\" /> <param name=\"salign\" value=\"lt\" /><param name = "
          "\"quality\"value = "
          "\"high\" /><param name=\"scale\" value=\"noscale\" /><param name = \"FlashVars\" "
          "value=\"&MM_ComponentVersion = 1&skinName=Clear_Skin_1&streamName=" +
          v +
          " & autoPlay=false&autoRewind=false\" /><embed src=\"FLVPlayer_Progressive.swf\"flashvars=\"&MM_"
          "ComponentVersion = 1&skinName=Clear_Skin_1&streamName=" +
          v +
          " & autoPlay=false&autoRewind=false\" quality=\"high\" scale=\"noscale\" width = \"138\" height = "
          "\"87\" "
          "name = \"FLVPlayer\" salign=\"LT\" type = \"application/x-shockwave-flash\"/></object>";
    else if (byPrefix && code == 's')
      a.replacement = "<object><param name=\"movie\"value=\"" + v +
                      "\"><param name=\"quality\" value=\"high\"><embed src=\"" + v +
                      "\" quality=\"high\" width=\"90\" height=\"50\"></embed></object>";
    return a;
  }

  // Plain mode (strip mode computes the same and splices nothing).
  if (x == ".col")
    p.frameCols = ReplaceAll(v, ".col", ",*");
  else if (x == ".alt")
    p.frameRows = ReplaceAll(v, ".alt", ",*");
  else if (x == ".siz")
    a.replacement = "<font size = ' " + ReplaceAll(v, x, "") + " ' >";
  else if (x == ".fon")
    a.replacement = "<" + ReplaceAll(v, x, "") + ">";

  if (sound) {
    a.replacement = "<embed src='" + v + "' width = '245' height = '45' AUTOSTART='false'> </embed></p>";
  } else if (byPrefix) {
    switch (code) {
      case 'i': a.replacement = "<img src='" + v + "'  border='0'>"; break;
      case 'v':
        a.replacement = "<embed src='" + v + "' width='" + to.mediaWidth + "' height='" + to.mediaHeight +
                        "' AUTOSTART='false'> </embed></p>";
        break;
      case 's':
        a.replacement = "<object><param name=\"movie\" value=\" " + v +
                        "\"><param name=\"quality\" value=\"high\"><embed src=\"" + v +
                        "\" quality=\"high\"  width=\"180\" height=\"40\"></embed></object>";
        break;
      case 'h':
        a.replacement.clear();
        to.mediaWidth = SizeValue(v);
        break;
      case 't':
        a.replacement.clear();
        to.mediaHeight = SizeValue(v);
        break;
      case 'f':
        // Copied beside the page once its file is chosen and written.
        to.playerFilesNeeded = true;
        a.replacement =
            "  <object classid='clsid:d27cdb6e-ae6d-11cf-96b8-444553540000'  width='" + to.mediaWidth +
            "' height='" + to.mediaHeight +
            "' id='VideoPlayer' align='middle'> <param name='allowScriptAccess' value='*' /> <param "
            "name='allowFullScreen' value='false' /> <param name='movie' value='FLVPlayer.swf?video=" +
            v +
            "&autoplay=false' /> <param name='quality' value='high' /><param name='bgcolor' value='#ffffff' "
            "/> "
            "<embed src='FLVPlayer.swf?video=" +
            v + "&autoplay=false' quality='high' bgcolor='#000000' width='" + to.mediaWidth + "' height='" +
            to.mediaHeight +
            "' name='VideoPlayer' align='middle' allowScriptAccess='*' allowFullScreen='false' "
            "type='application/x-shockwave-flash' />  </object>";
        break;
    }
  } else if (picture) {
    a.replacement = "<img src='" + v + "'> ";
  } else if (In(x, {".avi", ".mov", ".wmv", ".mpg"})) {
    a.replacement = "<embed src='" + v + "' width='240' height='180' AUTOSTART='false'> </embed></p>";
  }
  return a;
}

Mode TakeMode(std::string& text) {
  const Mode mode = text.starts_with("mmra")   ? Mode::kMemory
                    : text.starts_with("sqnc") ? Mode::kStrip
                                               : Mode::kPlain;
  if (mode != Mode::kPlain) text.erase(0, 4);
  return mode;
}

// Counts the runs of letters a collected piece brings; once the collection
// holds as many as the page reads, it stops. The blank after every piece
// keeps runs from joining across pieces.
void CountWords(const char* piece, size_t length, Work& work) {
  if (!work.isLetter) return;
  for (size_t j = 0; j < length; ++j)
    if (work.isLetter(static_cast<unsigned char>(piece[j])) &&
        (j == 0 || !work.isLetter(static_cast<unsigned char>(piece[j - 1]))))
      ++work.words;
  if (work.words >= work.wordsWanted) work.collect = false;
}

void Collect(const std::string& text, size_t pos, size_t length, Target& to) {
  if (!to.work.collect) return;
  std::string& collected = to.collected;
  if (collected.size() + length + 1 > kCollectedMarkupLimit) {
    to.work.exceeded = true;
    return;
  }
  collected.append(text, pos, length).append(" ");
  CountWords(text.data() + pos, length, to.work);
}

// Collects the tag that starts at `i` and returns its length, or 0 when no
// ">" is within reach.
size_t CollectTag(const std::string& text, size_t i, Target& to) {
  const size_t reach = std::min(text.size() - i, kLongestTag + 1);
  const void* found = std::memchr(text.data() + i, '>', reach);
  if (!found) return 0;
  const size_t close = static_cast<const char*>(found) - text.data();
  Collect(text, i, close - i + 1, to);
  return close - i + 1;
}

// The codes a span is accepted by whatever follows them.
struct Prefixes {
  bool code3 = false;  // "{i=", "{a=", "{v=", "{f=", "{s=", "{h=", "{t="
  bool code4 = false;  // "{f1=", "{f2=", "{f3="
};

Prefixes PrefixesAt(const std::string& text, size_t i) {
  Prefixes p;
  const std::string first = ToLower(text.substr(i, 4));
  if (first.size() >= 3 && first[2] == '=' && std::strchr("iavfsht", first[1])) p.code3 = true;
  if (first.size() >= 4 && first[1] == 'f' && first[3] == '=' && std::strchr("123", first[2])) p.code4 = true;
  return p;
}

// Whether TrySpan would accept the span from the "{" at `i` to the "}" at
// `close`, whose text holds its last "." at `lastDot` (npos: none), told
// without copying the span: its first characters and its extension decide.
bool MayAccept(const Prefixes& p, size_t i, size_t close, size_t lastDot) {
  if (lastDot == std::string::npos ? close - i - 1 < 2 : close - lastDot < 3) return false;
  // The span "{x=}" holds its prefix whole only when it reaches past it.
  if (p.code3 && close - i + 1 >= 3) return true;
  if (p.code4 && close - i + 1 >= 4) return true;
  // Every extension that is accepted has at most four characters.
  return lastDot != std::string::npos && close - lastDot <= 4;
}

// Tries the spans that start at the "{" at `i`, nearest "}" first.
bool ReplaceAt(std::string& text, size_t i, Mode& mode, Target& to) {
  size_t lastDot = std::string::npos;
  size_t looked = i + 1;  // text[i + 1, looked) was searched for "."
  const Prefixes prefixes = PrefixesAt(text, i);
  for (size_t close = text.find('}', i + 1); close != std::string::npos; close = text.find('}', close + 1)) {
    if (++to.work.spans > kRenderSpanLimit) {
      to.work.exceeded = true;
      return false;
    }
    if (const void* dot = memrchr(text.data() + looked, '.', close - looked))
      lastDot = static_cast<const char*>(dot) - text.data();
    looked = close;
    if (!MayAccept(prefixes, i, close, lastDot)) continue;
    Accepted a = TrySpan(text.substr(i, close - i + 1), mode, to);
    if (!a.accepted) continue;
    // Neither the text nor the collection grows past its limit.
    const bool collect = to.work.collect && a.collect && mode != Mode::kMemory;
    if (text.size() - (close - i + 1) + a.replacement.size() > kRenderedTextLimit ||
        (collect && to.collected.size() + a.replacement.size() + 1 > kCollectedMarkupLimit)) {
      to.work.exceeded = true;
      return false;
    }
    to.work.moved += (close - i + 1) + (text.size() - close) + a.replacement.size();
    if (collect) {
      to.collected += a.replacement + " ";
      CountWords(a.replacement.data(), a.replacement.size(), to.work);
    }
    const std::string& spliced = mode == Mode::kStrip ? std::string() : a.replacement;
    text.replace(i, close - i + 1, spliced);
    if (a.switchToStrip) mode = Mode::kStrip;
    return true;
  }
  return false;
}

}  // namespace

namespace {

// Whether the rendering may go on; when not, the target learns why.
bool WithinLimits(const std::string& text, Target& to) {
  if (text.size() > kRenderedTextLimit || to.collected.size() > kCollectedMarkupLimit ||
      to.work.moved > kRenderMoveLimit)
    to.work.exceeded = true;
  if (to.work.exceeded) to.workLimitReached = true;
  return !to.work.exceeded;
}

Target BuildTarget(PageBuild& build) {
  return {build.settings,        build.mediaWidth,       build.mediaHeight,
          build.collectedMarkup, build.workLimitReached, build.playerFilesNeeded};
}

bool Rescan(std::string& text, Target&& to) {
  Mode mode = TakeMode(text);
  to.collected.clear();
  size_t i = 0;
  while (i < text.size()) {
    if (!WithinLimits(text, to)) return false;
    char c = text[i];
    if (c == '<') {
      i += std::max<size_t>(CollectTag(text, i, to), 1);
    } else if (c == '{' && ReplaceAt(text, i, mode, to)) {
      i = 0;
    } else {
      ++i;
    }
  }
  return WithinLimits(text, to);
}

bool Scan(std::string& text, Target&& to);

}  // namespace

bool RenderMarkupByRescanning(std::string& text, PageBuild& build) {
  return Rescan(text, BuildTarget(build));
}
bool RenderMarkup(std::string& text, PageBuild& build) { return Scan(text, BuildTarget(build)); }

namespace {

// The fast scan. After a replacement at s the text before s is unchanged, so
// a scan from the start would repeat this pass's decisions up to the first
// one that looked at text from s on: a "{" it passed over (its spans ran
// on past s), or a "<" that found no ">" before s and could reach s. The
// scan resumes there, collecting again the tags this pass collected before
// that point, exactly as the rescan would.
bool Scan(std::string& text, Target&& to) {
  Mode mode = TakeMode(text);
  to.collected.clear();
  struct Tag {
    size_t pos;
    size_t length;
  };
  std::vector<Tag> tags;           // this pass's collected tags
  std::vector<size_t> openBraces;  // "{" passed over in this pass
  std::vector<size_t> openTags;    // "<" that found no ">" in reach
  size_t i = 0;
  while (i < text.size()) {
    if (to.work.exceeded) return WithinLimits(text, to);
    char c = text[i];
    if (c == '<') {
      const size_t length = CollectTag(text, i, to);
      if (length == 0) {
        openTags.push_back(i);
        ++i;
      } else {
        tags.push_back({i, length});
        i += length;
      }
    } else if (c == '{') {
      if (!ReplaceAt(text, i, mode, to)) {
        if (!WithinLimits(text, to)) return false;
        openBraces.push_back(i);
        ++i;
        continue;
      }
      size_t resume = i;
      if (!openBraces.empty()) resume = std::min(resume, openBraces.front());
      // The first "<" whose reach gets to i (they are in text order).
      const auto reaching =
          std::lower_bound(openTags.begin(), openTags.end(), i < kLongestTag ? 0 : i - kLongestTag);
      if (reaching != openTags.end()) resume = std::min(resume, *reaching);
      auto before = [resume](size_t p) { return p < resume; };
      size_t keep =
          std::partition_point(tags.begin(), tags.end(), [&](const Tag& t) { return before(t.pos); }) -
          tags.begin();
      // The rescan collects the tags before the resume point once more.
      if (to.work.collect)
        for (size_t k = 0; k < keep; ++k) Collect(text, tags[k].pos, tags[k].length, to);
      tags.resize(keep);
      openBraces.erase(std::partition_point(openBraces.begin(), openBraces.end(), before), openBraces.end());
      openTags.erase(std::partition_point(openTags.begin(), openTags.end(), before), openTags.end());
      i = resume;
      if (!WithinLimits(text, to)) return false;
    } else {
      ++i;
    }
  }
  return WithinLimits(text, to);
}

}  // namespace

bool RenderMarkupWithoutCollecting(std::string& text, PageBuild& build) {
  Target to = BuildTarget(build);
  to.work.collect = false;
  return Scan(text, std::move(to));
}

namespace {

Target CollectingWords(Target&& to, size_t words, bool (*isLetter)(unsigned char)) {
  to.work.collect = words > 0;
  to.work.wordsWanted = words;
  to.work.isLetter = isLetter;
  return std::move(to);
}

}  // namespace

bool RenderMarkupCollectingWords(std::string& text, size_t words, bool (*isLetter)(unsigned char),
                                 PageBuild& build) {
  return Scan(text, CollectingWords(BuildTarget(build), words, isLetter));
}

}  // namespace kio
