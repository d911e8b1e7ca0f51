#include "package/zip_writer.h"

#include <zip.h>

#include <cctype>
#include <ctime>
#include <deque>

namespace kio {
namespace {

// The time every entry carries. libzip writes a time as local time, so the
// value is made from local fields: the entries read 2001-01-01 00:00 in
// any time zone.
time_t FixedTime() {
  std::tm fields{};
  fields.tm_year = 101;
  fields.tm_mon = 0;
  fields.tm_mday = 1;
  fields.tm_isdst = -1;
  return std::mktime(&fields);
}

bool Compressed(const std::string& name) {
  static const char* kStored[] = {".jpg",  ".jpeg", ".png", ".gif", ".webp", ".mp3",  ".mp4",
                                  ".m4a",  ".m4v",  ".ogg", ".oga", ".ogv",  ".webm", ".aac",
                                  ".opus", ".flac", ".mov", ".zip", ".swf",  ".flv"};
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string ext = name.substr(dot);
  for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (const char* stored : kStored) {
    if (ext == stored) return true;
  }
  return false;
}

}  // namespace

struct ZipWriter::Archive {
  zip_t* zip = nullptr;
  std::deque<std::string> buffers;  // bytes libzip reads at close
};

ZipWriter::ZipWriter() = default;
ZipWriter::~ZipWriter() { Discard(); }

bool ZipWriter::Open(const std::string& file) {
  Discard();
  int code = 0;
  zip_t* zip = zip_open(file.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  if (!zip) {
    zip_error_t err;
    zip_error_init_with_code(&err, code);
    error_ = "cannot write " + file + ": " + zip_error_strerror(&err);
    zip_error_fini(&err);
    return false;
  }
  archive_ = std::make_unique<Archive>();
  archive_->zip = zip;
  return true;
}

bool ZipWriter::Added(long long index, const std::string& name) {
  zip_t* zip = archive_->zip;
  if (index < 0 || zip_file_set_mtime(zip, index, FixedTime(), 0) < 0 ||
      zip_set_file_compression(zip, index, Compressed(name) ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 1) < 0 ||
      zip_file_set_external_attributes(zip, index, 0, ZIP_OPSYS_UNIX, 0100644u << 16) < 0) {
    error_ = "cannot add " + name + ": " + zip_strerror(zip);
    return false;
  }
  return true;
}

bool ZipWriter::AddBytes(const std::string& name, std::string bytes) {
  if (!archive_) return false;
  archive_->buffers.push_back(std::move(bytes));
  const std::string& kept = archive_->buffers.back();
  zip_source_t* source = zip_source_buffer(archive_->zip, kept.data(), kept.size(), 0);
  if (!source) {
    error_ = "cannot add " + name + ": " + zip_strerror(archive_->zip);
    return false;
  }
  zip_int64_t index = zip_file_add(archive_->zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
  if (index < 0) zip_source_free(source);
  return Added(index, name);
}

bool ZipWriter::AddFile(const std::string& name, const std::string& sourceFile) {
  if (!archive_) return false;
  zip_source_t* source = zip_source_file(archive_->zip, sourceFile.c_str(), 0, -1);
  if (!source) {
    error_ = "cannot read " + sourceFile + ": " + zip_strerror(archive_->zip);
    return false;
  }
  zip_int64_t index = zip_file_add(archive_->zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
  if (index < 0) zip_source_free(source);
  return Added(index, name);
}

bool ZipWriter::Close() {
  if (!archive_) return false;
  if (zip_close(archive_->zip) < 0) {
    error_ = std::string("cannot write the package: ") + zip_strerror(archive_->zip);
    zip_discard(archive_->zip);
    archive_.reset();
    return false;
  }
  archive_.reset();
  return true;
}

void ZipWriter::Discard() {
  if (archive_) zip_discard(archive_->zip);
  archive_.reset();
}

}  // namespace kio
