// The language and configuration files that ship in the program folder, read
// with the real loaders: every text the program shows is there, in both
// interface languages, and the student languages have the exact layout that
// the Output editor writes.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <map>
#include <set>

#include "app/output_dlg.h"
#include "fileio/session.h"
#include "kio_test.h"
#include "lang/fixed_texts.h"
#include "lang/texts.h"
#include "platform/text_encoding.h"

namespace kio {
namespace {

namespace fs = std::filesystem;
using test::HeadlessSession;
using test::InFolder;
using test::ReadFile;
using test::TempDir;

struct UsedRecord {
  int record;
  const char* role;
};

// Every interface record the program shows (the student texts that the
// interface language also carries are checked through StudentTextUiRecord).
const UsedRecord kUsedRecords[] = {
    {0, "\"O que posso fazer?\" button of the activity editors"},
    {1, "general caption"},
    {2, "Select refuses a KIO or office document"},
    {3, "Index Link to File outside the index folder (Yes/No/Cancel)"},
    {4, "Select of an unusual file type (Yes/No)"},
    {5, "home screen: Create Output"},
    {20, "opening text when abertura.rtf is missing"},
    {21, "home screen: leave the program? (Yes/No)"},
    {23, "name of an untitled document"},
    {26, "Menu page: word before each link number"},
    {28, "stand-in for atividades.rtf"},
    {29, "Eclipse: first hint line"},
    {30, "Eclipse: second hint line"},
    {31, "nothing to save or generate"},
    {32, "Generate with no text"},
    {33, "Sequence: hint line"},
    {36, "Memory: wrong number of pairs"},
    {37, "boxes left empty"},
    {38, "list editors: linked-file label"},
    {39, "list editors: assessed label"},
    {40, "list editors: question label"},
    {41, "list editors: options/answers label"},
    {42, "list editors: feedback label"},
    {43, "list editors: hint label"},
    {47, "Menu: title of a new menu"},
    {48, "stand-in for dicionario.rtf"},
    {53, "Basic page: page written"},
    {54, "open the generated page? (Yes/No)"},
    {55, "Lexical page: page written, folder follows"},
    {67, "Cloze and Basic page: hint line"},
    {71, "Lexical page: choose the dictionary"},
    {73, "save the changes? (Yes/No/Cancel)"},
    {84, "Save failed (suffix)"},
    {87, "Dictionary: delete the entry? (Yes/No)"},
    {95, "Dictionary: range out of bounds"},
    {96, "Dictionary: delete the range? (Yes/No)"},
    {97, "Dictionary: attach the edited entry? (Yes/No)"},
    {98, "Dictionary: headword or explanation empty"},
    {99, "Dictionary: save before leaving? (Yes/No)"},
    {100, "Dictionary Replace: no segment"},
    {101, "Dictionary Replace report, first part"},
    {102, "Dictionary Replace report, second part"},
    {103, "Dictionary Replace report, third part"},
    {104, "list editors: Open failed (suffix)"},
    {105, "list editors: list full"},
    {106, "list editors: nothing to paste"},
    {107, "list editors: Save failed (suffix)"},
    {108, "list editors: page name taken by an item"},
    {109, "list editors: Generate failed (suffix)"},
    {110, "list editors: attach the edited item? (Yes/No/Cancel)"},
    {112, "item check: linked file"},
    {113, "item check: assessed"},
    {114, "item check: no right option"},
    {115, "item check: right mark on an empty option"},
    {116, "item check: empty boxes"},
    {117, "item check: feedback count"},
    {118, "item check: too many parts"},
    {119, "list editors: nothing to copy or cut"},
    {133, "home screen: Dictionary"},
    {135, "home screen: Eclipse"},
    {136, "home screen: Cloze"},
    {137, "home screen: Sequence"},
    {138, "home screen: Memory"},
    {139, "home screen: Multiple"},
    {140, "home screen: Linked HP"},
    {141, "home screen: Basic HP"},
    {142, "home screen: Dialogical"},
    {143, "home screen: Menu"},
    {144, "home screen: Index"},
    {145, "Return / Exit / OK"},
    {146, "New"},
    {147, "Open"},
    {148, "Save"},
    {149, "Save As"},
    {150, "Generate Htm"},
    {151, "Attach"},
    {152, "Insert"},
    {153, "Back"},
    {154, "Forward"},
    {155, "Cut"},
    {156, "Paste"},
    {157, "Select"},
    {178, "file name with unusual characters (Yes/No)"},
    {180, "first box colour"},
    {181, "home screen: productivity tips"},
    {183, "Copy"},
    {184, "Font"},
    {185, "Paragraph"},
    {186, "Global"},
    {195, "Index moved: third part"},
    {196, "Index moved: second part"},
    {197, "Index moved: first part"},
    {206, "Setup: results address follows"},
    {207, "page name other than menu.htm / index.html (Yes/No)"},
    {212, "Index page name must end in .htm or .html"},
};

// Buttons that stand on one screen together, with the Alt letters that
// screen's fixed labels already take: their "&" letters must all differ.
struct Screen {
  const char* name;
  std::vector<int> records;
  std::string fixedLetters;
};
const Screen kScreens[] = {
    {"home screen",
     {133, 135, 136, 137, 138, 139, 140, 141, 142, 144, 181, 145},
     "onw"},  // &Output I&nput Do&wnload
    {"list editors",
     {146, 147, 148, 149, 150, 145, 151, 152, 153, 154, 155, 156, 157, 183, 184, 185},
     "v"},  // A&V
};

const char* const kInterfaceLanguages[] = {"portugues.lin", "english.lin"};
const char* const kStudentLanguages[] = {"portugues.stu", "english.stu", "espanol.stu"};

class ShippedTexts : public ::testing::Test {
 protected:
  void SetUp() override { test::CopyProgramFolder(dir.path()); }
  TempDir dir;
};

TEST_F(ShippedTexts, InterfaceLanguagesHoldEveryRecordInPlace) {
  for (const char* file : kInterfaceLanguages) {
    SCOPED_TRACE(file);
    // Exactly 213 records: a stray "^" or "~" would shift every later one.
    std::vector<std::string> records = ReadRecords(ReadFile(dir / file), 225);
    ASSERT_EQ(records.size(), 213u);
    EXPECT_EQ(records[1], "KIO");
    EXPECT_EQ(records[180], "bgcolor='#F0E8F0'");  // the form the settings block and template filler strip

    InFolder in(dir.path());
    HeadlessSession session;  // the help folders are another matter; their message does not count here
    CurrentSession().appPaths.interfaceLanguageFile = file;
    LoadInterfaceLanguage();
    for (const auto& used : kUsedRecords) {
      EXPECT_FALSE(records[used.record].empty()) << "record " << used.record << ": " << used.role;
      EXPECT_FALSE(CurrentSession().UiText[used.record].empty())
          << "record " << used.record << ": " << used.role;
    }
    for (int entry = kFirstStudentEntry; entry < kLastStudentEntry; ++entry)
      EXPECT_FALSE(StudentText(entry).empty()) << "student entry " << entry;
  }
}

// The item checks' fixed texts, which stand in for an empty record, say in
// each shipped language what its file says.
TEST_F(ShippedTexts, ItemCheckTextsMatchTheShippedRecords) {
  const std::pair<int, Fixed> messages[] = {
      {112, Fixed::kItemFileName},          {113, Fixed::kItemAssessed},   {114, Fixed::kItemNoRightOption},
      {115, Fixed::kItemMarkOnEmptyOption}, {116, Fixed::kItemEmptyField}, {117, Fixed::kItemFeedbackCount},
      {118, Fixed::kItemTooManyParts},
  };
  const std::pair<const char*, InterfaceLanguage> files[] = {
      {"portugues.lin", InterfaceLanguage::kPortuguese}, {"english.lin", InterfaceLanguage::kEnglish}};
  for (const auto& [file, language] : files) {
    const std::vector<std::string> records = ReadRecords(ReadFile(dir / file), 225);
    for (const auto& [record, fixed] : messages)
      EXPECT_EQ(FixedTextIn(fixed, language), records.at(record)) << file << " record " << record;
  }
}

TEST_F(ShippedTexts, ButtonsOfOneScreenHaveDistinctAltLetters) {
  for (const char* file : kInterfaceLanguages) {
    std::vector<std::string> records = ReadRecords(ReadFile(dir / file), 225);
    ASSERT_EQ(records.size(), 213u) << file;
    for (const auto& screen : kScreens) {
      std::set<char> taken(screen.fixedLetters.begin(), screen.fixedLetters.end());
      for (int k : screen.records) {
        const std::string& label = records[k];
        size_t amp = label.find('&');
        ASSERT_NE(amp, std::string::npos) << file << " record " << k << " has no Alt letter: " << label;
        ASSERT_LT(amp + 1, label.size()) << file << " record " << k;
        EXPECT_EQ(label.find('&', amp + 1), std::string::npos) << file << " record " << k << ": " << label;
        char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(label[amp + 1])));
        EXPECT_TRUE(taken.insert(letter).second) << file << ", " << screen.name << ": Alt letter '" << letter
                                                 << "' of record " << k << " is taken";
      }
    }
  }
}

TEST_F(ShippedTexts, StudentLanguagesAreCompleteInTheOutputEditorLayout) {
  for (const char* file : kStudentLanguages) {
    SCOPED_TRACE(file);
    InFolder in(dir.path());
    HeadlessSession session;
    CurrentSession().appPaths.studentLanguageFile = file;
    LoadStudentLanguage();
    std::vector<std::string> entries;
    for (int r = kFirstStudentEntry; r <= kLastStudentEntry; ++r) {
      const std::string& text = StudentText(r);
      EXPECT_FALSE(text.empty()) << "entry " << r;  // the Output editor saves only complete sets
      // The template filler puts these texts into pages as they are, some
      // inside single-quoted script strings: quotes and backslashes would
      // break the page.
      EXPECT_EQ(text.find_first_of("'\"\\"), std::string::npos) << "entry " << r << ": " << text;
      entries.push_back(text);
    }
    EXPECT_EQ(ReadFile(dir / file), BuildStudentLanguageFile(entries));
    EXPECT_EQ(session.transcript(), "");
  }
}

TEST_F(ShippedTexts, ConfigurationFilesHoldBareValues) {
  for (const char* name : {"Configura.txt", "language.dat", "lingualu.dat", "lexicon.dat"}) {
    std::string value = ReadFile(dir / name);
    EXPECT_GE(value.size(), 2u) << name;
    EXPECT_EQ(value.find_first_of("\r\n"), std::string::npos) << name << " must not end in a line break";
  }
  EXPECT_TRUE(fs::is_regular_file(dir / ReadFile(dir / "language.dat")));
  EXPECT_TRUE(fs::is_regular_file(dir / ReadFile(dir / "lingualu.dat")));
  EXPECT_EQ(ReadFile(dir / "Configura.txt").rfind("http", 0), 0u);
}

// NEEDS THE HELP FOLDERS: passes only once instru_por/ and instru_eng/ hold
// all 77 help files, since a missing one shows a start-up message.
TEST(ShippedHomeScreen, StartsWithoutMessagesAndEveryLabelFilledInEachLanguage) {
  const std::map<int, int> labelRecords = {{1006, 133}, {1114, 135}, {1009, 136}, {1071, 137}, {1140, 138},
                                           {1018, 139}, {1017, 142}, {1147, 141}, {1003, 140}, {1094, 143},
                                           {1179, 144}, {1301, 5},   {1273, 181}, {2, 145}};
  const std::pair<const char*, const char*> languages[] = {{"portugues.lin", "portugues.stu"},
                                                           {"english.lin", "english.stu"}};
  for (auto [lin, stu] : languages) {
    SCOPED_TRACE(lin);
    TempDir dir;
    test::CopyProgramFolder(dir.path());
    test::WriteFile(dir / "language.dat", lin);
    test::WriteFile(dir / "lingualu.dat", stu);
    std::vector<std::string> records = ReadRecords(ReadFile(dir / lin), 225);
    ASSERT_EQ(records.size(), 213u);

    auto run = test::RunKio(dir.str(), "dump\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.transcript.find("MESSAGE"), std::string::npos) << run.transcript;
    auto shown = [&](int control) { return test::Control(run.transcript, control); };
    auto filled = [&](int control) { return shown(control) != "" && shown(control) != "<absent>"; };
    for (auto [control, record] : labelRecords) {
      EXPECT_TRUE(filled(control)) << control;
      EXPECT_EQ(shown(control), EscapeLine(Cp1252ToUtf8(records[record]))) << control;
    }
    for (int control : {1265, 1117, 1268, 1244, 1201, 1202}) EXPECT_TRUE(filled(control)) << control;
    EXPECT_EQ(shown(1201).rfind("{\\\\rtf1", 0), 0u);  // abertura.rtf, not the stand-in
  }
}

}  // namespace
}  // namespace kio
