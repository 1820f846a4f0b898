// Output files written beside their target and renamed over it.
#include "support/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "support/printable_text.h"
#include "support/read_limits.h"

std::string writeErrorText(int error) {
  switch (error) {
    case ENOSPC:
      return "no space left on the device";
    case EDQUOT:
      return "over the disk quota";
    case EFBIG:
      return "larger than a file may grow here (the file size limit)";
    case EACCES:
    case EPERM:
      return "no permission to write there";
    case EROFS:
      return "on a read-only file system";
    case ENOENT:
      return "its folder does not exist";
    case ENOTDIR:
      return "a part of its path is not a folder";
    case EISDIR:
      return "a folder, not a file";
    case ENAMETOOLONG:
      return "the name is too long";
    case ELOOP:
      return "too many symbolic links on its path";
    case ENXIO:
      return "no device answers there";
    default:
      break;
  }
  return systemErrorText(error);
}

namespace {

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A symbolic link is followed, so that the link stays and the file it names
// is replaced (also when that file does not exist yet).
std::string resolvedTarget(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
  std::error_code error;
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(path, error);
  return error ? path : resolved.string();
}

// The descriptor a name stands for ("/dev/stdout", "/dev/fd/3",
// "/proc/self/fd/3"), or -1. Such a name is written through a copy of that
// descriptor, as a shell redirection set it up: `> x.png` and `>> log` alike.
int descriptorNamed(const std::string& path) {
  if (path == "/dev/stdout") return 1;
  if (path == "/dev/stderr") return 2;
  for (const char* prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    const std::string start = prefix;
    if (path.compare(0, start.size(), start) != 0 || path.size() == start.size() || path.size() > start.size() + 6)
      continue;
    int fd = 0;
    for (std::size_t i = start.size(); i < path.size(); ++i) {
      if (path[i] < '0' || path[i] > '9') return -1;
      fd = fd * 10 + (path[i] - '0');
    }
    return fd;
  }
  return -1;
}

bool isDevice(const struct stat& info) { return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode); }

// The mode a newly created file gets from open(): 0666 without the umask.
mode_t newFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::string outputFileProblem(const std::string& path) {
  if (path.empty()) return "no file name given";
  if (path.back() == '/') return "a folder name, not a file";
  if (const int named = descriptorNamed(path); named >= 0)
    return fcntl(named, F_GETFD) == -1 ? "no such open file" : std::string();
  struct stat info;
  if (stat(path.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return "a folder, not a file";
    if (isDevice(info)) return access(path.c_str(), W_OK) == 0 ? std::string() : writeErrorText(errno);
  } else if (errno != ENOENT) {
    return writeErrorText(errno);  // a name too long, a file where a folder should be
  }
  const std::string folder = folderOf(resolvedTarget(path));
  if (stat(folder.c_str(), &info) != 0) return writeErrorText(errno);
  if (!S_ISDIR(info.st_mode)) return writeErrorText(ENOTDIR);
  std::string probe = folder + "/.velmora-probe-XXXXXX";
  const int fd = mkostemp(probe.data(), O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    return error == ENOENT ? writeErrorText(ENOENT) : "its folder cannot be written (" + writeErrorText(error) + ")";
  }
  close(fd);
  unlink(probe.c_str());
  return std::string();
}

std::string outputFolderProblem(const std::string& folder, const std::string& fileName) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) return "cannot make the folder " + printableText(folder) + ": " + writeErrorText(error.value());
  const std::string problem = outputFileProblem(folder + "/" + fileName);
  return problem.empty() ? problem : "cannot write into " + printableText(folder) + ": " + problem;
}

OutputFile::OutputFile(std::string path) : target_(std::move(path)) {
  if (target_.empty()) {
    problem_ = "no file name given";
    return;
  }
  if (const int named = descriptorNamed(target_); named >= 0) {
    const int fd = fcntl(named, F_DUPFD_CLOEXEC, 3);
    stream_ = fd < 0 ? nullptr : fdopen(fd, "wb");
    if (stream_ == nullptr) {
      problem_ = fd < 0 ? "no such open file" : writeErrorText(errno);
      if (fd >= 0) close(fd);
    }
    return;
  }
  struct stat info;
  bool exists = stat(target_.c_str(), &info) == 0;
  if (exists && S_ISDIR(info.st_mode)) {
    problem_ = writeErrorText(EISDIR);
    return;
  }
  if (exists && isDevice(info)) {
    // Opened by the name given (/dev/stdout leads to a pipe only that way),
    // without O_CREAT or O_TRUNC: a device or a pipe stays what it is.
    const int fd = open(target_.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
      problem_ = writeErrorText(errno);
      return;
    }
    struct stat opened;
    if (fstat(fd, &opened) == 0 && isDevice(opened)) {
      stream_ = fdopen(fd, "wb");
      if (stream_ == nullptr) {
        problem_ = writeErrorText(errno);
        close(fd);
      }
      return;
    }
    close(fd);  // a regular file took its place meanwhile: written the careful way
    exists = stat(target_.c_str(), &info) == 0;
  }
  target_ = resolvedTarget(target_);
  // Hidden, in the same folder (a rename does not cross file systems), named
  // after the target so that one left by a crash says whose it was.
  std::string name = target_.substr(target_.find_last_of('/') + 1);
  if (name.size() > 100) name.resize(100);
  temporary_ = folderOf(target_) + "/." + name + ".XXXXXX";
  const int fd = mkostemp(temporary_.data(), O_CLOEXEC);
  if (fd < 0) {
    problem_ = writeErrorText(errno);
    temporary_.clear();
    return;
  }
  // An existing file keeps its mode and, where allowed, its owner.
  if (exists) {
    fchmod(fd, info.st_mode & 07777);
    if (fchown(fd, info.st_uid, info.st_gid) != 0) {
      // Only root may give a file away; the file is then the writer's own.
    }
  } else {
    fchmod(fd, newFileMode());
  }
  stream_ = fdopen(fd, "wb");
  if (stream_ == nullptr) {
    problem_ = writeErrorText(errno);
    close(fd);
    discard();
  }
}

OutputFile::~OutputFile() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  discard();
}

void OutputFile::discard() {
  if (!temporary_.empty()) unlink(temporary_.c_str());
  temporary_.clear();
}

std::string OutputFile::commit() {
  if (stream_ == nullptr) return problem_.empty() ? "it was written once already" : problem_;
  const bool direct = temporary_.empty();
  int error = 0;
  // A write that failed before leaves the error flag; errno still holds its
  // reason unless a later call changed it.
  const int earlier = errno;
  if (std::ferror(stream_)) error = earlier != 0 ? earlier : EIO;
  if (error == 0 && std::fflush(stream_) != 0) error = errno;
  // A pipe or a terminal cannot be synced; a device is left to its driver.
  if (error == 0 && !direct && fsync(fileno(stream_)) != 0) error = errno;
  if (std::fclose(stream_) != 0 && error == 0) error = errno;
  stream_ = nullptr;
  if (error == 0 && !direct && std::rename(temporary_.c_str(), target_.c_str()) != 0) error = errno;
  discard();
  if (error != 0) return writeErrorText(error);
  if (!direct) {
    // The rename itself reaches the disk with the folder.
    const int folder = open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
      fsync(folder);
      close(folder);
    }
  }
  return std::string();
}

std::string writeOutputFile(const std::string& path, const void* data, std::size_t size) {
  OutputFile file(path);
  if (file.stream() == nullptr) return file.problem();
  errno = 0;
  // On a failure the destructor removes the temporary file.
  if (size != 0 && std::fwrite(data, 1, size, file.stream()) != size) return writeErrorText(errno != 0 ? errno : EIO);
  return file.commit();
}

std::string cannotWriteText(const std::string& path, const std::string& reason) {
  return "cannot write " + printableText(path) + ": " + reason;
}
