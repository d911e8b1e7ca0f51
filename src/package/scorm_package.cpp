#include "package/scorm_package.h"

#include <fstream>
#include <iterator>
#include <set>

#include "package/package_pieces.h"
#include "package/page_links.h"
#include "package/zip_writer.h"
#include "render/html_escape.h"

namespace kio {
namespace {

// The items of the organization: the activity pages in the order the start
// page reaches them; a course without any has its start page as its one
// item (an asset: it reports nothing).
std::vector<const CourseFile*> Items(const Course& course) {
  std::vector<const CourseFile*> items;
  for (const std::string& path : course.reached) {
    const CourseFile* file = FindCourseFile(course, path);
    if (file && file->activity) items.push_back(file);
  }
  return items;
}

std::string FileElement(const std::string& path) {
  return "      <file href=\"" + HtmlAttribute(UrlPath(path)) + "\"/>\n";
}

std::string Percent(int mastery) {
  // The scaled form, 0.5 for 50: at most two decimals, none trailing.
  std::string out =
      mastery >= 100 ? "1" : "0." + std::string(mastery < 10 ? "0" : "") + std::to_string(mastery);
  if (mastery < 100) {
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
  }
  return out;
}

bool ReadAll(const std::string& file, std::string& text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

bool WriteScorm(const Course& course, const PackageOptions& options, const std::string& version,
                const std::string& file, std::string& error) {
  std::set<std::string> activities;
  for (const CourseFile* item : Items(course)) activities.insert(item->path);
  ZipWriter zip;
  bool ok = zip.Open(file) && zip.AddBytes("imsmanifest.xml", ScormManifest(course, options, version));
  for (const CourseFile& f : course.files) {
    if (!ok) break;
    if (activities.count(f.path)) {
      std::string page;
      if (!ReadAll(f.source, page)) {
        error = "cannot read " + f.source;
        return false;
      }
      ok = zip.AddBytes(f.path, WithPlatformScript(page, version, options.mastery));
    } else {
      ok = zip.AddFile(f.path, f.source);
    }
  }
  if (ok) ok = zip.Close();
  if (!ok) error = zip.Error();
  return ok;
}

}  // namespace

std::string ScormManifest(const Course& course, const PackageOptions& options, const std::string& version) {
  bool v12 = version == "1.2";
  std::string title = HtmlAttribute(options.title.empty() ? DefaultCourseTitle(course) : options.title);
  std::vector<const CourseFile*> items = Items(course);
  bool assetItem = items.empty();
  if (assetItem) items.push_back(FindCourseFile(course, course.startPage));
  std::string scormType = v12 ? "adlcp:scormtype" : "adlcp:scormType";

  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  xml += "<manifest identifier=\"KIO-" + Fingerprint(course.startPage + "\n" + title) + "\" version=\"1\"\n";
  if (v12) {
    xml +=
        "  xmlns=\"http://www.imsproject.org/xsd/imscp_rootv1p1p2\"\n"
        "  xmlns:adlcp=\"http://www.adlnet.org/xsd/adlcp_rootv1p2\"\n"
        "  xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
        "  xsi:schemaLocation=\"http://www.imsproject.org/xsd/imscp_rootv1p1p2 imscp_rootv1p1p2.xsd "
        "http://www.imsglobal.org/xsd/imsmd_rootv1p2p1 imsmd_rootv1p2p1.xsd "
        "http://www.adlnet.org/xsd/adlcp_rootv1p2 adlcp_rootv1p2.xsd\">\n"
        "  <metadata>\n    <schema>ADL SCORM</schema>\n    <schemaversion>1.2</schemaversion>\n  "
        "</metadata>\n";
  } else {
    xml +=
        "  xmlns=\"http://www.imsglobal.org/xsd/imscp_v1p1\"\n"
        "  xmlns:adlcp=\"http://www.adlnet.org/xsd/adlcp_v1p3\"\n"
        "  xmlns:adlseq=\"http://www.adlnet.org/xsd/adlseq_v1p3\"\n"
        "  xmlns:adlnav=\"http://www.adlnet.org/xsd/adlnav_v1p3\"\n"
        "  xmlns:imsss=\"http://www.imsglobal.org/xsd/imsss\"\n"
        "  xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
        "  xsi:schemaLocation=\"http://www.imsglobal.org/xsd/imscp_v1p1 imscp_v1p1.xsd "
        "http://www.adlnet.org/xsd/adlcp_v1p3 adlcp_v1p3.xsd "
        "http://www.adlnet.org/xsd/adlseq_v1p3 adlseq_v1p3.xsd "
        "http://www.adlnet.org/xsd/adlnav_v1p3 adlnav_v1p3.xsd "
        "http://www.imsglobal.org/xsd/imsss imsss_v1p0.xsd\">\n"
        "  <metadata>\n    <schema>ADL SCORM</schema>\n    <schemaversion>2004 4th Edition</schemaversion>\n"
        "  </metadata>\n";
  }
  xml += "  <organizations default=\"ORG-1\">\n    <organization identifier=\"ORG-1\">\n      <title>" +
         title + "</title>\n";
  for (size_t i = 0; i < items.size(); ++i) {
    std::string n = std::to_string(i + 1);
    xml += "      <item identifier=\"ITEM-" + n + "\" identifierref=\"RES-" + n + "\">\n        <title>" +
           HtmlAttribute(items[i]->title) + "</title>\n";
    if (!assetItem) {
      if (v12) {
        xml += "        <adlcp:masteryscore>" + std::to_string(options.mastery) + "</adlcp:masteryscore>\n";
      } else {
        xml +=
            "        <imsss:sequencing>\n          <imsss:objectives>\n"
            "            <imsss:primaryObjective satisfiedByMeasure=\"true\">\n"
            "              <imsss:minNormalizedMeasure>" +
            Percent(options.mastery) +
            "</imsss:minNormalizedMeasure>\n            </imsss:primaryObjective>\n"
            "          </imsss:objectives>\n        </imsss:sequencing>\n";
      }
    }
    xml += "      </item>\n";
  }
  if (!v12) {
    xml +=
        "      <imsss:sequencing>\n        <imsss:controlMode choice=\"true\" flow=\"true\"/>\n"
        "      </imsss:sequencing>\n";
  }
  xml += "    </organization>\n  </organizations>\n  <resources>\n";

  std::set<std::string> listed;
  for (size_t i = 0; i < items.size(); ++i) {
    const CourseFile& page = *items[i];
    xml += "    <resource identifier=\"RES-" + std::to_string(i + 1) + "\" type=\"webcontent\" " + scormType +
           "=\"" + (assetItem ? "asset" : "sco") + "\" href=\"" + HtmlAttribute(UrlPath(page.path)) + "\">\n";
    xml += FileElement(page.path);
    listed.insert(page.path);
    for (const std::string& used : page.uses) {
      const CourseFile* f = FindCourseFile(course, used);
      if (!f || f->page || used == page.path) continue;
      xml += FileElement(used);
      listed.insert(used);
    }
    xml += "    </resource>\n";
  }
  std::string rest;
  for (const CourseFile& f : course.files) {
    if (!listed.count(f.path)) rest += FileElement(f.path);
  }
  if (!rest.empty()) {
    xml += "    <resource identifier=\"RES-COURSE\" type=\"webcontent\" " + scormType + "=\"asset\">\n" +
           rest + "    </resource>\n";
  }
  xml += "  </resources>\n</manifest>\n";
  return xml;
}

bool Scorm12Package::Write(const Course& course, const PackageOptions& options, const std::string& file,
                           std::string& error) const {
  return WriteScorm(course, options, "1.2", file, error);
}

bool Scorm2004Package::Write(const Course& course, const PackageOptions& options, const std::string& file,
                             std::string& error) const {
  return WriteScorm(course, options, "2004", file, error);
}

}  // namespace kio
