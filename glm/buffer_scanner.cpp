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

#include "glm/model_limits.h"

namespace {

struct FdCloser {
  int fd;
  ~FdCloser() { ::close(fd); }
};

}  // namespace

BufferScanner::BufferScanner(const char* bytes, std::size_t size) : copy_(new char[size + 1]) {
  if (size != 0) std::memcpy(copy_.get(), bytes, size);
  copy_[size] = '\0';  // the NUL ScanCursor wants behind the end
  startAt(copy_.get(), size);
}

BufferScanner::~BufferScanner() {
  if (mapping_ != nullptr) munmap(mapping_, mappingSize_);
}

void BufferScanner::startAt(const char* bytes, std::size_t size) {
  const std::size_t mark = sizeof GLM_BYTE_ORDER_MARK - 1;
  const bool marked = size >= mark && std::memcmp(bytes, GLM_BYTE_ORDER_MARK, mark) == 0;
  begin_ = marked ? bytes + mark : bytes;
  cursor_ = ScanCursor{begin_, bytes + size};
}

std::unique_ptr<BufferScanner> BufferScanner::open(const char* path, std::string* problem) {
  auto refuse = [&](std::string reason) {
    if (problem != nullptr) *problem = std::move(reason);
    return nullptr;
  };
  // A first look before opening: opening a FIFO waits for a writer.
  std::string reason = regularFileProblem(path, MODEL_MAX_FILE_BYTES);
  if (!reason.empty()) return refuse(reason);
  // Non-blocking, should the name have become a FIFO since; the second look
  // below is on what was really opened.
  int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return refuse(fileErrorText(errno));
  FdCloser closer{fd};
  std::uint64_t fileSize = 0;
  reason = openFileProblem(fd, MODEL_MAX_FILE_BYTES, &fileSize);
  if (!reason.empty()) return refuse(reason);

  std::unique_ptr<BufferScanner> scanner(new BufferScanner());

  // Mapping saves copying the file and faulting in a buffer as large: a tenth
  // of the time of a large model. The system fills the rest of the last page
  // with zeros, which gives the NUL behind the end.
  const long page = sysconf(_SC_PAGESIZE);
  if (fileSize > 0 && page > 0 && fileSize % static_cast<std::uint64_t>(page) != 0) {
    const std::size_t length = static_cast<std::size_t>(fileSize);
    void* mapping = mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    if (mapping != MAP_FAILED) {
      scanner->mapping_ = mapping;
      scanner->mappingSize_ = length;
      scanner->startAt(static_cast<const char*>(mapping), length);
      return scanner;
    }
  }
  // One byte more than the size told, so that reaching it shows the file has
  // grown; it may grow up to the cap while it is read, not beyond.
  std::size_t capacity = static_cast<std::size_t>(fileSize) + 1;
  std::unique_ptr<char[]> bytes(new char[capacity]);
  std::size_t size = 0;
  for (;;) {
    if (size == capacity) {
      if (size > MODEL_MAX_FILE_BYTES) {
        return refuse("grew past the " + byteSizeText(MODEL_MAX_FILE_BYTES) + " cap while it was read");
      }
      std::size_t larger = std::min<std::size_t>(capacity * 2, MODEL_MAX_FILE_BYTES + 2);
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
  scanner->startAt(scanner->copy_.get(), size);
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

long BufferScanner::currentLine() { return 1 + static_cast<long>(std::count(begin_, cursor_.pos, '\n')); }

void BufferScanner::rewind() { cursor_.pos = begin_; }

FaceForm BufferScanner::faceFormOf(const char* token) { return glmScanFaceForm(token); }

int BufferScanner::parseCorner(const char* token, FaceForm form, long* vertex, long* texture, long* normal) {
  ScanCursor in{token, token + std::strlen(token)};
  return glmScanCorner(in, form, vertex, texture, normal);
}

FaceForm BufferScanner::parseFirstCorner(const char* token, long* vertex, long* texture, long* normal) {
  return glmScanFirstCorner(token, vertex, texture, normal);
}
