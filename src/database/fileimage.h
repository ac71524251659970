// One open game file: its whole content held in memory, every write passed
// straight on to the file. Several slots that name the same file share one
// FileImage, so a write through one slot is seen by a read through another.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cm3 {

class FileImage {
 public:
  // Opens the file for reading and writing, creating it when missing.
  // Throws FileError (PathNotFound when its folder does not exist).
  static std::shared_ptr<FileImage> open(const std::string& path);
  ~FileImage();
  FileImage(const FileImage&) = delete;
  FileImage& operator=(const FileImage&) = delete;

  const std::string& path() const { return path_; }
  uint64_t size() const { return data_.size(); }
  const std::vector<uint8_t>& data() const { return data_; }

  // Copies n bytes from 0-based position pos; bytes past the end read as
  // zero. Returns the number of bytes that lay inside the file.
  size_t read(uint64_t pos, void* dst, size_t n) const;
  // Pointer to n bytes at pos when they all lie inside the file, else null.
  const uint8_t* peek(uint64_t pos, size_t n) const;

  // Writes n bytes at 0-based position pos (a gap before it is zero-filled).
  // Throws FileError; on failure the file and the image keep their old bytes
  // as far as the system allows.
  void write(uint64_t pos, const void* src, size_t n);
  // Replaces the whole content.
  void replaceAll(const std::vector<uint8_t>& content);
  // Forces the written bytes to the disk.
  void sync();

 private:
  FileImage(std::string path, int fd, std::vector<uint8_t> data);
  std::string path_;
  int fd_;
  std::vector<uint8_t> data_;
};

// Turns errno of a failed call on `path` into a FileError.
[[noreturn]] void throwFileError(const std::string& path, int err);

}  // namespace cm3
