// Preview against Generate for one editor: the same page, written into the
// private preview folder and opened, with the teacher's folder, the document
// and its changed state left as they were.
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "editor_session.h"
#include "fileio/session.h"
#include "kio_test.h"
#include "render/preview_folder.h"

namespace kio::test {

struct PreviewCase {
  std::string editor;
  // Runs the editor with a script.
  std::function<std::string(EditorSession&, const std::string&)> run;
  std::string start;   // what the editor asks before its dialog (the lexical page's dictionary)
  std::string fill;    // fills the boxes
  std::string change;  // changes something that the page shows
  std::string extension;
  int open, save, preview, generate;
  std::string page;                  // the preview's file name
  std::vector<std::string> support;  // files that go beside the page
};

// Every file below a folder with its inode, modification time and bytes:
// two equal listings mean that nothing there was written, added or
// removed. (Opening a document keeps its times but touches its status.)
inline std::map<std::string, std::string> Listing(const std::filesystem::path& folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
    struct stat st {};
    if (lstat(e.path().c_str(), &st) != 0) throw std::runtime_error("cannot stat " + e.path().string());
    std::string& entry = files[e.path().string()];
    entry = std::to_string(st.st_ino) + " " + std::to_string(st.st_mtim.tv_sec) + "." +
            std::to_string(st.st_mtim.tv_nsec);
    if (S_ISREG(st.st_mode)) entry += " " + ReadFile(e.path());
  }
  return files;
}

inline size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The teacher's folder is s.docs(), the documents folder of the session; it
// holds "casa.jpg" and "a.htm", which pages may show or link to.
inline void ExpectPreviewLikeGenerate(EditorSession& s, const PreviewCase& c) {
  namespace fs = std::filesystem;
  SCOPED_TRACE(c.editor);
  const std::string docs = s.docs();
  const std::string document = docs + "lesson." + c.extension;
  const auto press = [](int id) { return "press " + std::to_string(id) + "\n"; };
  // The saved document.
  std::string fill = c.fill;
  for (size_t at = fill.find("{docs}"); at != std::string::npos; at = fill.find("{docs}"))
    fill.replace(at, 6, docs);
  std::string t = c.run(s, c.start + fill + press(c.save) + "choose " + document + "\npress 2\n");
  ASSERT_TRUE(fs::exists(document)) << t;
  const auto before = Listing(docs);
  const std::string open = c.start + press(c.open) + "choose " + document + "\n";

  // Opened and previewed as it is: nothing asked or said, still unchanged.
  const std::string opened = c.run(s, open + "press 2\n");
  t = c.run(s, open + press(c.preview) + "press 2\n");
  const std::string folder = CurrentPreviewFolder().Made();
  ASSERT_FALSE(folder.empty()) << t;
  EXPECT_TRUE(Has(t, "OPEN " + folder + c.page + "\n")) << t;
  EXPECT_FALSE(Has(t, "CHOOSE save")) << t;
  EXPECT_EQ(Count(t, "MESSAGE"), Count(opened, "MESSAGE")) << t;

  // Changed, previewed: the page shows the change, the editor still asks
  // about it when leaving.
  t = c.run(s, open + c.change + press(c.preview) + "press 2\nanswer No\n");
  EXPECT_TRUE(Has(t, "OPEN " + folder + c.page + "\n")) << t;
  EXPECT_EQ(Count(t, "CHOOSE"), Count(open, "choose")) << t;
  EXPECT_TRUE(Has(t, Shown(CurrentSession().UiText[73]))) << t;
  const std::string preview = ReadFile(folder + c.page);
  for (const std::string& name : c.support) EXPECT_TRUE(fs::exists(folder + name)) << name;

  // The teacher's folder and the document as they were.
  EXPECT_EQ(Listing(docs), before);

  // Generate writes the same page from the same boxes.
  fs::create_directory(docs + "out");
  t = c.run(s, open + c.change + press(c.generate) + "choose " + docs + "out/" + c.page +
                   "\nanswer No\npress 2\nanswer No\n");
  ASSERT_TRUE(fs::exists(docs + "out/" + c.page)) << t;
  EXPECT_EQ(preview, ReadFile(docs + "out/" + c.page));
}

}  // namespace kio::test
