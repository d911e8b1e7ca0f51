#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <sstream>

#include "course_fixture.h"
#include "package/package_format.h"
#include "package/package_pieces.h"
#include "package/scorm_package.h"
#include "package/tool/package_command.h"

namespace kio {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

struct Entry {
  std::string name, bytes;
};

std::vector<Entry> ReadZip(const fs::path& file) {
  std::vector<Entry> out;
  int code = 0;
  zip_t* zip = zip_open(file.c_str(), ZIP_RDONLY, &code);
  if (!zip) return out;
  for (zip_int64_t i = 0; i < zip_get_num_entries(zip, 0); ++i) {
    zip_stat_t st;
    zip_stat_index(zip, i, 0, &st);
    std::string bytes(st.size, '\0');
    zip_file_t* f = zip_fopen_index(zip, i, 0);
    zip_fread(f, bytes.data(), st.size);
    zip_fclose(f);
    out.push_back({st.name, bytes});
  }
  zip_close(zip);
  return out;
}

std::vector<std::string> Names(const std::vector<Entry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(e.name);
  return out;
}

const Entry* Find(const std::vector<Entry>& entries, const std::string& name) {
  for (const auto& e : entries) {
    if (e.name == name) return &e;
  }
  return nullptr;
}

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteCourse(dir_.path());
    std::string error;
    ASSERT_TRUE(CollectCourse(Start(), course_, error)) << error;
  }
  std::string Start() const { return (dir_ / "Unidade 1" / "index.html").string(); }
  std::vector<Entry> Write(const std::string& format, const std::string& name, PackageOptions options = {}) {
    std::string error;
    EXPECT_TRUE(WritePackage(*FindPackageFormat(format), course_, options, (dir_ / name).string(), error))
        << error;
    return ReadZip(dir_ / name);
  }
  TempDir dir_;
  Course course_;
};

const std::vector<std::string> kCourseFiles = {"cloze 1.htm", "fotos/d'or.jpg", "fotos/p\xC3\xA1tio.jpg",
                                               "index.html",  test::kReading,   "menu.htm",
                                               "multi.htm",   "som da aula.mp3"};

TEST_F(PackageTest, EveryFormatHoldsTheCourseAndNothingElse) {
  EXPECT_EQ(Names(Write("web", "web.zip")), kCourseFiles);  // index.html is the start page itself
  for (const char* format : {"scorm12", "scorm2004"}) {
    auto entries = Write(format, std::string(format) + ".zip");
    std::vector<std::string> expected{"imsmanifest.xml"};
    expected.insert(expected.end(), kCourseFiles.begin(), kCourseFiles.end());
    EXPECT_EQ(Names(entries), expected) << format;
    // Files travel unchanged, but for the activity pages, which take the
    // platform script and the mastery score.
    EXPECT_EQ(Find(entries, "fotos/d'or.jpg")->bytes, "JPEG d'or");
    EXPECT_EQ(Find(entries, "menu.htm")->bytes, test::ReadFile(dir_ / "Unidade 1" / "menu.htm"));
    const std::string& cloze = Find(entries, "cloze 1.htm")->bytes;
    std::string version = std::string(format) == "scorm12" ? "1.2" : "2004";
    EXPECT_NE(cloze.find("var KioScormSettings = { version: '" + version + "', mastery: 50 };"),
              std::string::npos);
    EXPECT_LT(cloze.find("KioScormSettings"), cloze.rfind("</body>"));
  }
}

TEST_F(PackageTest, TheSameCourseGivesTheSamePackageByteForByte) {
  for (const char* format : {"web", "scorm12", "scorm2004"}) {
    Write(format, "a.zip");
    fs::last_write_time(dir_ / "Unidade 1" / "menu.htm", fs::file_time_type::clock::now());
    setenv("TZ", "Pacific/Kiritimati", 1);
    Write(format, "b.zip");
    unsetenv("TZ");
    EXPECT_EQ(test::ReadFile(dir_ / "a.zip"), test::ReadFile(dir_ / "b.zip")) << format;
  }
}

TEST_F(PackageTest, AWebPackageOpensAStartPageOfAnotherName) {
  std::string error;
  ASSERT_TRUE(CollectCourse((dir_ / "Unidade 1" / "menu.htm").string(), course_, error));
  // The course has an index.html of its own: it goes into a folder.
  auto entries = Write("web", "menu.zip", {"Unit 1", 50});
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ(entries[0].name, "index.html");
  EXPECT_NE(entries[0].bytes.find("url=course/menu.htm"), std::string::npos) << entries[0].bytes;
  EXPECT_TRUE(Find(entries, "course/cloze 1.htm"));
  // Without one, the course stays at the root beside the opening page.
  ASSERT_TRUE(CollectCourse((dir_ / "Unidade 1" / "cloze 1.htm").string(), course_, error));
  entries = Write("web", "cloze.zip", {"Li\xC3\xA7\xC3\xA3o", 50});
  EXPECT_EQ(Names(entries), (std::vector<std::string>{"index.html", "cloze 1.htm", "som da aula.mp3"}));
  EXPECT_NE(entries[0].bytes.find("<title>Li&#231;&#227;o</title>"), std::string::npos) << entries[0].bytes;
  EXPECT_NE(entries[0].bytes.find("url=cloze%201.htm"), std::string::npos);
}

// The standard's own schemas, through xmllint (libxml2-utils).
int ValidateScorm12(const fs::path& manifest) {
  std::string command = "xmllint --noout --schema '" KIO_SOURCE_DIR
                        "/../shared/standards/scorm12/scorm12.xsd' '" +
                        manifest.string() + "' 2>/dev/null";
  return std::system(command.c_str());
}

TEST_F(PackageTest, EverySCORM12ManifestIsValidAgainstTheStandardsSchemas) {
  if (std::system("xmllint --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint is not installed";
  struct Case {
    std::string start;
    PackageOptions options;
  } cases[] = {
      {"index.html", {}},
      {"menu.htm", {"Unit <1> & \"more\" \xC3\xA7", 0}},
      {test::kReading, {"", 100}},  // no activity: the start page is the one item, an asset
      {"cloze 1.htm", {"", 75}},
  };
  for (const auto& c : cases) {
    std::string error;
    ASSERT_TRUE(CollectCourse((dir_ / "Unidade 1" / c.start).string(), course_, error));
    auto entries = Write("scorm12", "v.zip", c.options);
    ASSERT_TRUE(Find(entries, "imsmanifest.xml"));
    test::WriteFile(dir_ / "imsmanifest.xml", Find(entries, "imsmanifest.xml")->bytes);
    EXPECT_EQ(ValidateScorm12(dir_ / "imsmanifest.xml"), 0) << c.start << "\n"
                                                            << Find(entries, "imsmanifest.xml")->bytes;
  }
  // The check itself fails a manifest that breaks the schema.
  test::WriteFile(dir_ / "bad.xml", "<manifest xmlns=\"http://www.imsproject.org/xsd/imscp_rootv1p1p2\"/>");
  EXPECT_NE(ValidateScorm12(dir_ / "bad.xml"), 0);
}

TEST_F(PackageTest, ManifestsListItemsInTheOrderTheStartPageReachesThem) {
  std::string m12 = ScormManifest(course_, {"", 60}, "1.2");
  EXPECT_LT(m12.find("<title>cloze 1</title>"), m12.find("<title>multi</title>"));
  EXPECT_NE(m12.find("<adlcp:masteryscore>60</adlcp:masteryscore>"), std::string::npos);
  EXPECT_NE(m12.find("adlcp:scormtype=\"sco\" href=\"cloze%201.htm\""), std::string::npos);
  EXPECT_NE(m12.find("<file href=\"li%C3%A7%C3%A3o%20de%20leitura.htm\"/>"), std::string::npos);
  EXPECT_NE(m12.find("<file href=\"fotos/d%27or.jpg\"/>"), std::string::npos);
  std::string m2004 = ScormManifest(course_, {"", 60}, "2004");
  EXPECT_NE(m2004.find("<schemaversion>2004 4th Edition</schemaversion>"), std::string::npos);
  EXPECT_NE(m2004.find("<imsss:minNormalizedMeasure>0.6</imsss:minNormalizedMeasure>"), std::string::npos);
}

TEST_F(PackageTest, TheMasteryScoreIsAPercentage) {
  std::string error;
  EXPECT_FALSE(
      WritePackage(*FindPackageFormat("scorm12"), course_, {"", 101}, (dir_ / "x.zip").string(), error));
  EXPECT_FALSE(fs::exists(dir_ / "x.zip"));
}

TEST(PackagePieces, ThePlatformScriptGoesBeforeTheLastBodyEnd) {
  std::string page = WithPlatformScript("<body><p>x</p></BODY>\n</html>", "1.2", 50);
  EXPECT_LT(page.find("KioScormSettings"), page.find("</BODY>"));
  EXPECT_NE(WithPlatformScript("<p>no body end</p>", "2004", 80).find("mastery: 80"), std::string::npos);
}

struct CommandCase {
  std::vector<std::string> args;
  int status;
  const char* message;
};

TEST_F(PackageTest, TheCommandLineSaysWhatIsWrong) {
  std::string out = (dir_ / "out.zip").string();
  std::string start = Start();
  const CommandCase cases[] = {
      {{}, 1, "no start page given"},
      {{start, "--out", out}, 1, "no --format given"},
      {{start, "--format", "web"}, 1, "no --out file given"},
      {{start, "--format", "zip", "--out", out},
       1,
       "unknown format \"zip\" (the formats are web, scorm12, scorm2004)"},
      {{start, "--format", "web", "--mastery", "120", "--out", out}, 1, "--mastery takes a whole percentage"},
      {{start, "--format", "web", "--mastery", "5x", "--out", out}, 1, "--mastery takes a whole percentage"},
      {{start, "--format", "web", "--out"}, 1, "--out needs a value"},
      {{start, "--frmat", "web", "--out", out}, 1, "unknown option --frmat"},
      {{(dir_ / "none.htm").string(), "--format", "web", "--out", out}, 1, "does not exist"},
      // The course's two broken links are listed; nothing is written.
      {{start, "--format", "scorm12", "--out", out}, 1, "multi.htm: missing.jpg: the file does not exist"},
  };
  for (const auto& c : cases) {
    std::ostringstream o, e;
    EXPECT_EQ(RunPackageCommand(c.args, o, e), c.status) << e.str();
    EXPECT_NE(e.str().find(c.message), std::string::npos) << e.str();
    EXPECT_FALSE(fs::exists(out));
  }
  std::ostringstream o, e;
  EXPECT_EQ(RunPackageCommand({start, "--format", "scorm2004", "--mastery", "70", "--title", "Unit 1",
                               "--out", out, "--leave-out"},
                              o, e),
            0)
      << e.str();
  EXPECT_NE(e.str().find("index.html: ../outside.jpg: the file is outside the course folder"),
            std::string::npos);
  EXPECT_NE(o.str().find("5 pages, 3 other files"), std::string::npos) << o.str();
  auto entries = ReadZip(out);
  ASSERT_TRUE(Find(entries, "imsmanifest.xml"));
  EXPECT_NE(Find(entries, "imsmanifest.xml")->bytes.find("<title>Unit 1</title>"), std::string::npos);
  EXPECT_NE(Find(entries, "imsmanifest.xml")->bytes.find("0.7</imsss:minNormalizedMeasure>"),
            std::string::npos);
}

TEST_F(PackageTest, APackageThatCannotBeWrittenLeavesNothing) {
  std::ostringstream o, e;
  std::string out = (dir_ / "no such folder" / "x.zip").string();
  EXPECT_EQ(RunPackageCommand({Start(), "--format", "web", "--leave-out", "--out", out}, o, e), 1);
  EXPECT_NE(e.str().find("kio package: "), std::string::npos);
  EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace kio
