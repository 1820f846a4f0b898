// The in-memory scanner: one read of the whole file, then every formatted read
// is the glibc-equivalent one of text_scan on the bytes.
#include "glm/buffer_scanner.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr std::size_t FIRST_READ_SIZE = 64 * 1024;  // for files that tell no size (pipes)

struct FdCloser {
  int fd;
  ~FdCloser() { ::close(fd); }
};

}  // namespace

BufferScanner::BufferScanner(const char* bytes, std::size_t size) : copy_(new char[size + 1]) {
  if (size != 0) std::memcpy(copy_.get(), bytes, size);
  copy_[size] = '\0';  // the NUL ScanCursor wants behind the end
  begin_ = copy_.get();
  cursor_ = ScanCursor{begin_, begin_ + size};
}

BufferScanner::~BufferScanner() {
  if (mapping_ != nullptr) munmap(mapping_, mappingSize_);
}

std::unique_ptr<BufferScanner> BufferScanner::open(const char* path) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  FdCloser closer{fd};
  struct stat info;
  if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) return nullptr;

  std::unique_ptr<BufferScanner> scanner(new BufferScanner());
  scanner->seekable_ = ::lseek(fd, 0, SEEK_CUR) >= 0;

  // Mapping saves copying the file and faulting in a buffer as large: a tenth
  // of the time of a large model. The system fills the rest of the last page
  // with zeros, which gives the NUL behind the end.
  const long page = sysconf(_SC_PAGESIZE);
  if (S_ISREG(info.st_mode) && info.st_size > 0 && page > 0 && info.st_size % page != 0) {
    const std::size_t length = static_cast<std::size_t>(info.st_size);
    void* mapping = mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (mapping != MAP_FAILED) {
      scanner->mapping_ = mapping;
      scanner->mappingSize_ = length;
      scanner->begin_ = static_cast<const char*>(mapping);
      scanner->cursor_ = ScanCursor{scanner->begin_, scanner->begin_ + length};
      return scanner;
    }
  }
  // One byte more than the size told, so that reaching it shows the file has grown.
  std::size_t capacity = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) + 1 : FIRST_READ_SIZE;
  std::unique_ptr<char[]> bytes(new char[capacity]);
  std::size_t size = 0;
  for (;;) {
    if (size == capacity) {
      std::size_t larger = capacity * 2;
      std::unique_ptr<char[]> grown(new char[larger]);
      std::memcpy(grown.get(), bytes.get(), size);
      bytes = std::move(grown);
      capacity = larger;
    }
    ssize_t got = ::read(fd, bytes.get() + size, capacity - size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    size += static_cast<std::size_t>(got);
  }
  // The loop only reads into free room, so one byte is left for the NUL.
  bytes[size] = '\0';
  scanner->copy_ = std::move(bytes);
  scanner->begin_ = scanner->copy_.get();
  scanner->cursor_ = ScanCursor{scanner->begin_, scanner->begin_ + size};
  return scanner;
}

bool BufferScanner::readToken(char* token) {
  if (glmScanToken(cursor_, token, GLM_TOKEN_SIZE - 1) == 1) return true;
  token[0] = '\0';
  return false;
}

bool BufferScanner::readLine(char* buffer, int size) {
  if (glmScanLine(cursor_, buffer, size)) return true;
  buffer[0] = '\0';
  return false;
}

int BufferScanner::readFloats(float* values, int count) { return glmScanFloats(cursor_, values, count); }

int BufferScanner::readCorner(FaceForm form, long* vertex, long* texture, long* normal) {
  return glmScanCorner(cursor_, form, vertex, texture, normal);
}

long BufferScanner::currentLine() {
  if (!seekable_) return 0;  // as ftell fails
  return 1 + static_cast<long>(std::count(begin_, cursor_.pos, '\n'));
}

void BufferScanner::rewind() { cursor_.pos = seekable_ ? begin_ : cursor_.end; }

FaceForm BufferScanner::faceFormOf(const char* token) { return glmScanFaceForm(token); }

int BufferScanner::parseCorner(const char* token, FaceForm form, long* vertex, long* texture, long* normal) {
  ScanCursor in{token, token + std::strlen(token)};
  return glmScanCorner(in, form, vertex, texture, normal);
}

FaceForm BufferScanner::parseFirstCorner(const char* token, long* vertex, long* texture, long* normal) {
  return glmScanFirstCorner(token, vertex, texture, normal);
}
