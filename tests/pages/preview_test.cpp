// Preview in every editor that generates a page: the page Generate would
// write from the same boxes, in the session's private preview folder, with
// its support files, opened in the browser; nothing asked, the teacher's
// files untouched.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "activities/cloze/cloze_dlg.h"
#include "activities/dialogical/dialogical_dlg.h"
#include "activities/eclipse/eclipse_dlg.h"
#include "activities/list_activity_dlg.h"
#include "activities/memory/memory_dlg.h"
#include "activities/multiple/multiple_dlg.h"
#include "activities/sequence/sequence_dlg.h"
#include "lang/fixed_texts.h"
#include "pages/basic/basic_page_dlg.h"
#include "pages/index/index_dlg.h"
#include "pages/menu/menu_dlg.h"
#include "platform/headless.h"
#include "preview_check.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::EditorSession;
using test::Has;
using test::PreviewCase;
using test::Shown;

template <typename Editor>
std::string RunEditor(EditorSession& s, const std::string& script) {
  return s.template Run<Editor>(script);
}

// The teacher's folder: the session's documents folder, with a picture and
// a page that the pages below show or link to.
void TeachersFolder(EditorSession& s) {
  CurrentSession().appPaths.documentsFolder = s.docs();
  test::WriteFile(s / "casa.jpg", "JPEG");
  test::WriteFile(s / "a.htm", "<p>A</p>");
  test::WriteFile(s / "unused.jpg", "JPEG");
  fs::create_directory(s / "unit1");
  test::WriteFile(s / "unit1" / "b.htm", "<p>B</p>");
}

std::string ListItem(const char* file) {
  // File, assessed, question, answers, wrong answers, hint.
  return std::string("type 1940 ") + file + "\ntype 1941 S\ntype 1942 Onde?\ntype 1943 >casa+rua\n" +
         "type 1944 x+y\ntype 1945 Veja.\npress 1912\n";
}

const std::string kTextActivity = "type 1401 Look: {i=casa.jpg}\ntype 1403 Bravo!\n";

TEST(Preview, EveryEditorPreviewsThePageGenerateWrites) {
  const PreviewCase cases[] = {
      {"Cloze",
       RunEditor<CClozeDlg>,
       "",
       kTextActivity + "type 1402 The [cat] sat.\n",
       "type 1402 The [dog] ran.\n",
       "clo",
       kActOpen,
       kActSave,
       kActPreview,
       kActGenerate,
       "lesson.htm",
       {"casa.jpg"}},
      {"Eclipse",
       RunEditor<CEclipseDlg>,
       "",
       kTextActivity + "type 1402 The cat sat.\ntype 1407 cat\n",
       "type 1402 The dog ran.\n",
       "ecl",
       kActOpen,
       kActSave,
       kActPreview,
       kActGenerate,
       "lesson.htm",
       {"casa.jpg"}},
      {"Sequence",
       RunEditor<CSequenceDlg>,
       "",
       kTextActivity + "type 1402 One+two+three\n",
       "type 1402 Four+five+six\n",
       "seq",
       kActOpen,
       kActSave,
       kActPreview,
       kActGenerate,
       "lesson.htm",
       {"casa.jpg"}},
      {"Memory",
       RunEditor<CMemoryDlg>,
       "",
       "type 1401 Pairs\ntype 1451 a\ntype 1452 1\ntype 1453 b\ntype 1454 2\ntype 1455 c\ntype 1456 3\n",
       "type 1456 {i=casa.jpg}\n",
       "mem",
       kActOpen,
       kActSave,
       kActPreview,
       kActGenerate,
       "lesson.htm",
       {"facea.gif", "faceb.gif", "casa.jpg"}},
      {"Multiple",
       RunEditor<CMultipleDlg>,
       "",
       ListItem("casa.jpg"),
       "type 1903 Bravo!\n",
       "mul",
       kListOpen,
       kListSave,
       kListPreview,
       kListGenerate,
       "lesson.htm",
       {"casa.jpg"}},
      {"Dialogical",
       RunEditor<CDialogicalDlg>,
       "",
       ListItem("casa.jpg"),
       "type 1903 Bravo!\n",
       "gab",
       kListOpen,
       kListSave,
       kListPreview,
       kListGenerate,
       "lesson.htm",
       {"casa.jpg"}},
      {"Basic",
       RunEditor<CBasicPageDlg>,
       "",
       "type 1601 Hello {i=casa.jpg}\n",
       "type 1601 Bye {i=casa.jpg}\n",
       "hpb",
       kBasicOpen,
       kBasicSave,
       kBasicPreview,
       kBasicGenerate,
       "lesson.htm",
       {"casa.jpg"}},
      {"Menu",
       RunEditor<CMenuDlg>,
       "",
       "type 1173 Course\ntype 1046 a.htm\n",
       "type 1173 My course\n",
       "men",
       kMenuOpen,
       kMenuSave,
       kMenuPreview,
       kMenuGenerate,
       "menu.htm",
       {"a.htm"}},
      {"Index",
       RunEditor<CIndexDlg>,
       "",
       "press 1108\nchoose {docs}index.html\ntype 1182 Course\ntype 1940 a.htm\ntype 1941 Unit A\npress "
       "1912\n",
       // A second item, attached.
       "press 1911\ntype 1940 unit1/b.htm\ntype 1941 Unit B\npress 1912\n",
       "dex",
       kListOpen,
       kListSave,
       kListPreview,
       kListGenerate,
       "index.html",
       {"a.htm", "unit1/b.htm"}},
  };
  for (const PreviewCase& c : cases) {
    EditorSession s;
    TeachersFolder(s);
    test::ExpectPreviewLikeGenerate(s, c);
    // Only what the page refers to is copied.
    EXPECT_FALSE(fs::exists(CurrentPreviewFolder().Made() + "unused.jpg")) << c.editor;
  }
}

// Content that Generate refuses is refused by Preview with Generate's
// message, before anything is written.
TEST(Preview, ContentNotReadyGetsGeneratesMessage) {
  const auto oops = [](int record) { return test::OopsMessage(CurrentSession().UiText[record]); };
  struct Case {
    const char* editor;
    std::function<std::string(EditorSession&, const std::string&)> run;
    std::string script;
    std::function<std::string()> message;
  } cases[] = {
      {"Cloze without text", RunEditor<CClozeDlg>, "press 1437\n", [&] { return oops(32); }},
      {"Cloze without gaps", RunEditor<CClozeDlg>, "type 1402 The cat sat.\npress 1437\nanswer No\n",
       [] { return "MESSAGE KIO | " + Shown(FixedText(Fixed::kClozeWithoutGaps)) + "\n"; }},
      {"Memory with five pairs", RunEditor<CMemoryDlg>,
       "type 1451 a\ntype 1452 1\ntype 1453 b\ntype 1454 2\ntype 1455 c\ntype 1456 3\ntype 1457 d\n"
       "type 1458 4\ntype 1459 e\ntype 1460 5\npress 1437\n",
       [&] { return oops(36); }},
      {"Multiple without items", RunEditor<CMultipleDlg>, "press 1937\n", [&] { return oops(32); }},
      {"Index without items", RunEditor<CIndexDlg>, "press 1937\n", [&] { return oops(31); }},
      {"Basic without text", RunEditor<CBasicPageDlg>, "press 1635\n", [&] { return oops(32); }},
      {"Menu with a gap", RunEditor<CMenuDlg>, "type 1071 b.htm\npress 1192\n", [&] { return oops(37); }},
  };
  for (const Case& c : cases) {
    EditorSession s;
    TeachersFolder(s);
    const auto before = test::Listing(s.docs());
    const std::string t = c.run(s, c.script + "press 2\nanswer No\n");
    EXPECT_TRUE(Has(t, c.message())) << c.editor << "\n" << t;
    EXPECT_FALSE(Has(t, "OPEN ")) << c.editor << "\n" << t;
    EXPECT_FALSE(Has(t, "CHOOSE")) << c.editor << "\n" << t;
    const std::string folder = CurrentPreviewFolder().Made();
    if (!folder.empty()) {
      EXPECT_TRUE(fs::is_empty(folder)) << c.editor;
    }
    EXPECT_EQ(test::Listing(s.docs()), before) << c.editor;
  }
}

// A desktop whose browser does not start.
class NoBrowser : public HeadlessPlatform {
 public:
  using HeadlessPlatform::HeadlessPlatform;
  bool OpenFileInBrowser(const std::string& path) override {
    Emit("OPEN failed " + path);
    return false;
  }
};

TEST(Preview, ABrowserThatDoesNotOpenGivesThePagesPath) {
  EditorSession s;
  TeachersFolder(s);
  std::istringstream script("type 1601 Hello\npress 1635\npress 2\nanswer No\n");
  std::ostringstream transcript;
  NoBrowser platform(script, transcript);
  SetPlatform(&platform);
  {
    CBasicPageDlg editor;
    editor.DoModal();
  }
  SetPlatform(nullptr);
  const std::string page = CurrentPreviewFolder().Made() + "kio_preview.htm";
  EXPECT_TRUE(fs::exists(page));
  EXPECT_TRUE(Has(transcript.str(), "OPEN failed " + page + "\nMESSAGE Oops! | " +
                                        Shown(FixedText(Fixed::kPreviewNotOpened, {page})) + "\n"))
      << transcript.str();
}

// Preview's help is Generate's, shown when the focus enters the button.
TEST(Preview, FocusShowsGeneratesHelp) {
  EditorSession s;
  test::ExpectHelpPanel<CClozeDlg>(s, {{"focus 1437\n", "gera_htm.rtf"}});
  test::ExpectHelpPanel<CMemoryDlg>(s, {{"focus 1437\n", "gera_htm.rtf"}});
  test::ExpectHelpPanel<CMultipleDlg>(s, {{"focus 1937\n", "gera_htm.rtf"}}, kListHelp);
  test::ExpectHelpPanel<CIndexDlg>(s, {{"focus 1937\n", "gera_htm.rtf"}}, kListHelp);
  test::ExpectHelpPanel<CBasicPageDlg>(s, {{"focus 1635\n", "gera_htm.rtf"}}, kBasicHelp);
  test::ExpectHelpPanel<CMenuDlg>(s, {{"focus 1192\n", "gera_htm.rtf"}}, kMenuHelp);
}

TEST(PreviewFolder, PrivateUniqueAndRemovedWithTheSession) {
  CurrentSession().Reset();
  Failure failure;
  const auto folder = CurrentPreviewFolder().Path(failure);
  ASSERT_TRUE(folder);
  EXPECT_TRUE(folder->ends_with("/"));
  EXPECT_TRUE(fs::path(*folder).parent_path().filename().string().starts_with("kio-preview-")) << *folder;
  struct stat st {};
  ASSERT_EQ(stat(folder->c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(CurrentPreviewFolder().Path(failure), folder);
  test::WriteFile(*folder + "page.htm", "x");
  // Made again when something removed it.
  fs::remove_all(*folder);
  const auto again = CurrentPreviewFolder().Path(failure);
  ASSERT_TRUE(again);
  EXPECT_TRUE(fs::is_directory(*again));
  test::WriteFile(*again + "page.htm", "x");
  CurrentSession().Reset();
  EXPECT_FALSE(fs::exists(*again));
}

// A temporary folder setting that leads nowhere falls back to /tmp.
TEST(PreviewFolder, AMissingTemporaryFolderFallsBackToTmp) {
  CurrentSession().Reset();
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  setenv("TMPDIR", "/nonexistent/kio", 1);
  Failure failure;
  const auto folder = CurrentPreviewFolder().Path(failure);
  old ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
  ASSERT_TRUE(folder) << failure.text;
  EXPECT_TRUE(folder->starts_with("/tmp/kio-preview-")) << *folder;
  CurrentSession().Reset();
  EXPECT_FALSE(fs::exists(*folder));
}

TEST(PreviewFolder, CopiesOnlyTheTeachersFilesThePageNames) {
  CurrentSession().Reset();
  test::TempDir teacher, preview;
  for (const char* name : {"casa.jpg", "Casa2.JPG", "som.mp3", "page.htm", "other.htm", "sub.jpg"})
    test::WriteFile(teacher / name, name);
  fs::create_directory(teacher / "pics");
  test::WriteFile(teacher / "pics" / "deep.jpg", "deep");
  test::WriteFile(teacher / "pics" / "unnamed.jpg", "unnamed");
  // Below the folder a link is not followed either, nor a way out of it.
  test::TempDir outside;
  test::WriteFile(outside / "away.jpg", "away");
  fs::create_directory_symlink(outside.path(), teacher / "linked");
  test::WriteFile(preview / "page.htm", "the preview");
  // A link named by the page is not followed out of the folder.
  test::TempDir elsewhere;
  test::WriteFile(elsewhere / "secret.txt", "SECRET");
  fs::create_symlink(elsewhere / "secret.txt", teacher / "link.jpg");
  const std::string page =
      "<img src='casa.jpg'> <embed src=\"som.mp3\"> var f = 'Casa2.JPG'; <a href=\"page.htm\"> "
      "<img src='pics/deep.jpg'> <img src='casa2.jpg'> <img src='link.jpg'> <img src='linked/away.jpg'> "
      "<img src='../" +
      outside.path().filename().string() +
      "/away.jpg'> <img src='/etc/hostname.x'> "
      "<a href='http://example.com/som.htm'>";
  CopyReferencedFiles(teacher.path().string() + "/", preview.path().string() + "/", "page.htm", page);
  std::vector<std::string> copied;
  for (const auto& e : fs::recursive_directory_iterator(preview.path()))
    copied.push_back(fs::relative(e.path(), preview.path()));
  std::sort(copied.begin(), copied.end());
  EXPECT_EQ(copied, (std::vector<std::string>{"Casa2.JPG", "casa.jpg", "page.htm", "pics", "pics/deep.jpg",
                                              "som.mp3"}));
  // The page itself stays; the teacher's files are copied, not moved.
  EXPECT_EQ(test::ReadFile(preview / "page.htm"), "the preview");
  EXPECT_EQ(test::ReadFile(teacher / "casa.jpg"), "casa.jpg");
}

}  // namespace
}  // namespace kio
