// Packaging a course of 100 pages and 200 media files (collecting what the
// start page reaches, then writing the zip) beside copying the same files
// with cp -r. The goal: within twice the copy's time.
//
//   package_bench [--runs N]
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench_timing.h"
#include "package/course.h"
#include "package/package_format.h"

namespace fs = std::filesystem;
using kio::bench::Seconds;

namespace {

constexpr int kPages = 100;
constexpr int kMedia = 200;

void Write(const fs::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary);
  out << bytes;
}

// Incompressible bytes, as pictures and sounds are.
std::string Noise(std::mt19937& random, size_t size) {
  std::string bytes(size, '\0');
  for (auto& c : bytes) c = static_cast<char>(random());
  return bytes;
}

// A page of about the size of a generated activity page (35 kB, most of it
// the kit's script and style), linking its two media files and the next page.
std::string Page(int n, std::mt19937& random) {
  std::string page =
      "<!DOCTYPE html><html lang=\"en\"><head><title>page " + std::to_string(n) + "</title><style>";
  for (int i = 0; i < 150; ++i) page += ".rule" + std::to_string(i) + " { margin: 0.5rem; color: #333; }\n";
  page += "</style><script>var KioKit = (function () {\n";
  for (int i = 0; i < 500; ++i) {
    page +=
        "  function f" + std::to_string(i) + "(x) { return x + " + std::to_string(random() % 1000) + "; }\n";
  }
  page += "})();\npalavras[0]='<img src=\\'media/picture " + std::to_string(2 * n) + ".jpg\\'>';\n</script>";
  page += "</head><body><form id=\"results\"></form><embed src=\"media/sound " + std::to_string(2 * n + 1) +
          ".mp3\"><a href=\"page" + std::to_string((n + 1) % kPages) + ".htm\">next</a></body></html>";
  return page;
}

void MakeCourse(const fs::path& folder) {
  std::mt19937 random(7);
  fs::create_directories(folder / "media");
  std::string index = "<html><body>";
  for (int n = 0; n < kPages; ++n) {
    index += "<a href=\"javascript:Abre1('page" + std::to_string(n) + ".htm','790','520');\">" +
             std::to_string(n) + "</a>\n";
    Write(folder / ("page" + std::to_string(n) + ".htm"), Page(n, random));
  }
  Write(folder / "index.html", index + "</body></html>");
  for (int m = 0; m < kMedia; ++m) {
    bool picture = m % 2 == 0;
    Write(folder / "media" /
              ((picture ? "picture " : "sound ") + std::to_string(m) + (picture ? ".jpg" : ".mp3")),
          Noise(random, picture ? 60000 : 250000));
  }
}

// Processor time (user and system) used so far by this process or by its
// finished children, in seconds.
double CpuSeconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  auto s = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return s(usage.ru_utime) + s(usage.ru_stime);
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 7;
  if (argc == 3 && std::string(argv[1]) == "--runs") runs = std::max(1, std::atoi(argv[2]));
  fs::path work = fs::temp_directory_path() / ("kio-package-bench-" + std::to_string(::getpid()));
  fs::path course = work / "course";
  MakeCourse(course);
  std::uintmax_t bytes = 0;
  for (const auto& e : fs::recursive_directory_iterator(course))
    bytes += e.is_regular_file() ? e.file_size() : 0;
  std::printf("course: %d pages, %d media files, %.1f MB\n\n", kPages, kMedia, bytes / 1e6);

  std::vector<double> copy, copyCpu;
  std::map<std::string, std::vector<double>> packaged, packagedCpu;
  std::string copyCommand = "cp -r '" + course.string() + "' '" + (work / "copy").string() + "'";
  for (int r = 0; r < runs + 1; ++r) {  // the first run warms the cache and is not counted
    fs::remove_all(work / "copy");
    double cpu = CpuSeconds(RUSAGE_CHILDREN);
    double c = Seconds([&] {
      if (std::system(copyCommand.c_str()) != 0) std::exit(2);
    });
    cpu = CpuSeconds(RUSAGE_CHILDREN) - cpu;
    if (r > 0) copy.push_back(c), copyCpu.push_back(cpu);
    for (const kio::PackageFormat* format : kio::PackageFormats()) {
      fs::path out = work / (format->Id() + ".zip");
      double cpu = CpuSeconds(RUSAGE_SELF);
      double t = Seconds([&] {
        kio::Course collected;
        std::string error;
        if (!kio::CollectCourse((course / "index.html").string(), collected, error) ||
            collected.files.size() != kPages + kMedia + 1 || !collected.problems.empty() ||
            !kio::WritePackage(*format, collected, {}, out.string(), error)) {
          std::fprintf(stderr, "packaging failed: %s (%zu files)\n", error.c_str(), collected.files.size());
          std::exit(2);
        }
      });
      cpu = CpuSeconds(RUSAGE_SELF) - cpu;
      if (r > 0) packaged[format->Id()].push_back(t), packagedCpu[format->Id()].push_back(cpu);
    }
  }
  // Wall-clock time is what a teacher waits; processor time says the same
  // without the other programs of a busy machine.
  double base = Median(copy), baseCpu = Median(copyCpu);
  std::printf(
      "| What | Wall clock (median of %d) | Against cp -r | Processor time | Against cp -r |\n"
      "|---|---|---|---|---|\n",
      runs);
  std::printf("| cp -r | %s | 1.00x | %s | 1.00x |\n", kio::bench::Ms(base).c_str(),
              kio::bench::Ms(baseCpu).c_str());
  bool within = true;
  for (const kio::PackageFormat* format : kio::PackageFormats()) {
    double t = Median(packaged[format->Id()]), cpu = Median(packagedCpu[format->Id()]);
    within = within && t <= 2 * base;
    std::printf("| kio package --format %s | %s | %.2fx | %s | %.2fx |\n", format->Id().c_str(),
                kio::bench::Ms(t).c_str(), t / base, kio::bench::Ms(cpu).c_str(), cpu / baseCpu);
  }
  std::printf("\ngoal (wall clock within 2x of the copy): %s\n", within ? "met" : "NOT met");
  if (!std::getenv("KIO_BENCH_KEEP")) fs::remove_all(work);
  return 0;
}
