// One open game file. Its bytes are read through a read-only shared mapping
// of the file (or, where the file system cannot map it, a copy in memory);
// every write is passed straight on to the file, so a read after a write
// sees it. Several slots that name the same file share one FileImage, so a
// write through one slot is seen by a read through another.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace cm3 {

// Allocates without setting the new bytes: they are written over at once,
// so clearing them first would only cost time.
template <class T>
struct NoInitAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = NoInitAllocator<U>;
  };
  NoInitAllocator() = default;
  template <class U>
  NoInitAllocator(const NoInitAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... Args>
  void construct(U* p, Args&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
  }
};

// A buffer of bytes about to be written to a file.
using ByteBuffer = std::vector<uint8_t, NoInitAllocator<uint8_t>>;

// The bytes of an open file as FileImage::data() shows them: a view of the
// file's present content. Copying it makes a snapshot that owns its bytes,
// so `auto before = image.data();` keeps the content of that moment.
class FileBytes {
 public:
  using value_type = uint8_t;
  using const_iterator = const uint8_t*;
  using iterator = const uint8_t*;

  FileBytes() = default;
  FileBytes(const FileBytes& o) : owned_(o.begin(), o.end()), ptr_(owned_.data()), size_(owned_.size()) {}
  FileBytes(FileBytes&& o) noexcept = default;
  FileBytes& operator=(const FileBytes& o) {
    if (this != &o) {
      owned_.assign(o.begin(), o.end());
      ptr_ = owned_.data();
      size_ = owned_.size();
    }
    return *this;
  }
  FileBytes& operator=(FileBytes&& o) noexcept = default;

  const uint8_t* data() const { return ptr_; }
  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const uint8_t* begin() const { return ptr_; }
  const uint8_t* end() const { return ptr_ + size_; }
  uint8_t operator[](size_t i) const { return ptr_[i]; }
  // A copy of the bytes as a plain vector.
  operator std::vector<uint8_t>() const { return std::vector<uint8_t>(begin(), end()); }
  bool operator==(const FileBytes& o) const {
    return size_ == o.size_ && (size_ == 0 || std::memcmp(ptr_, o.ptr_, size_) == 0);
  }
  bool operator==(const std::vector<uint8_t>& o) const {
    return size_ == o.size() && (size_ == 0 || std::memcmp(ptr_, o.data(), size_) == 0);
  }

 private:
  friend class FileImage;
  FileBytes(const uint8_t* p, size_t n) : ptr_(p), size_(n) {}
  std::vector<uint8_t> owned_;
  const uint8_t* ptr_ = nullptr;
  size_t size_ = 0;
};

// A run of bytes of a file being built from pieces.
struct ByteRun {
  const uint8_t* data;
  size_t size;
};

// Files are never made larger than this: positions in the game's files are
// signed 32-bit numbers.
constexpr uint64_t kMaxFileSize = 0x7FFFFFFF;

class FileImage {
 public:
  // Opens the file for reading and writing, creating it when missing.
  // Throws FileError (PathNotFound when its folder does not exist).
  static std::shared_ptr<FileImage> open(const std::string& path);
  // Creates or replaces the file with `content` (written under a temporary
  // name beside it and renamed into place, so that the file is either the
  // old one or the complete new one) and opens it.
  static std::shared_ptr<FileImage> create(const std::string& path, const ByteBuffer& content);
  ~FileImage();
  FileImage(const FileImage&) = delete;
  FileImage& operator=(const FileImage&) = delete;

  const std::string& path() const { return path_; }
  uint64_t size() const { return bytes_.size(); }
  // The present content, valid while the image is open. Pointers into it
  // stay valid until a write makes the file longer (for a mapped file, for
  // as long as it is open).
  const FileBytes& data() const { return bytes_; }
  // True when the bytes are read through a mapping of the file rather than
  // a copy of it.
  bool mapped() const { return map_ != nullptr; }

  // Copies n bytes from 0-based position pos; bytes past the end read as
  // zero. Returns the number of bytes that lay inside the file.
  size_t read(uint64_t pos, void* dst, size_t n) const;
  // Pointer to n bytes at pos when they all lie inside the file, else null.
  const uint8_t* peek(uint64_t pos, size_t n) const;

  // Writes n bytes at 0-based position pos (a gap before it is zero-filled).
  // Throws FileError; on failure the file keeps its old bytes (the system
  // permitting), so no half-written record is left behind. Nothing is
  // written to a file that has been deleted since it was opened.
  void write(uint64_t pos, const void* src, size_t n);
  // Cuts the file back to `size` bytes (no-op when it is not longer).
  // Throws FileError.
  void truncate(uint64_t size);
  // The permission bits of the file (0644 when they cannot be read).
  int mode() const;
  // Forces the written bytes to the disk.
  void sync();
  // Throws FileError (Removed) when the file has been deleted from its
  // folder since it was opened: whatever is written to it then is lost.
  void checkPresent() const;

 private:
  FileImage(std::string path, int fd, uint64_t size);
  void setSize(uint64_t size);
  std::string path_;
  int fd_;
  uint8_t* map_ = nullptr;     // the mapping, kMapWindow bytes long
  std::vector<uint8_t> copy_;  // the content, where the file cannot be mapped
  FileBytes bytes_;
};

// The temporary name a file is built under before it replaces `path`.
std::string temporaryPathFor(const std::string& path);

// Writes `content` to a new file under the temporary name of `path`, forces
// it to the disk when `durable`, and renames it over `path`. Returns the
// descriptor of the new file, open for reading and writing. Throws FileError;
// `path` is untouched then and the temporary file removed.
int writeReplacing(const std::string& path, const std::vector<ByteRun>& content, bool durable, int mode,
                   const std::function<void(uint64_t done, uint64_t total)>& progress = {});

// Removes a file when it exists (no error when it is already gone).
// Throws FileError for any other failure.
void removeFile(const std::string& path);

// Forces the directory entry changes (renames, deletions) of the folder
// that holds `path` to the disk. Failures are ignored: not every file
// system supports it.
void syncFolderOf(const std::string& path);

// Turns errno of a failed call on `path` into a FileError whose text tells
// the user what went wrong.
[[noreturn]] void throwFileError(const std::string& path, int err);

// Every step that changes a file on disk (a write, a sync, a rename, a
// deletion) is announced here first. A test installs a hook to stop the
// process at a chosen step and check what a crash leaves behind; without a
// hook this does nothing.
using FileStepHook = void (*)(const char* step, const std::string& path);
void setFileStepHook(FileStepHook hook);
void fileStep(const char* step, const std::string& path);

}  // namespace cm3
