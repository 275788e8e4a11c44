// File-system calls that differ between POSIX and Windows: positioned seeks beyond 2 GiB
// and the exclusive creation of the working copy.
#include <cstring>

#include "ini_model.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>
#endif

int SeekTo(FILE* stream, uint32_t position) {
#ifdef _WIN32
  return _fseeki64(stream, static_cast<long long>(position), SEEK_SET) == 0 ? 0 : -1;
#else
  return fseeko(stream, static_cast<off_t>(position), SEEK_SET) == 0 ? 0 : -1;
#endif
}

// The working copy sits in a directory that others may write to. Whatever stands under
// its name (a file, a hard link to someone's file, a symbolic link) is removed, never
// written through, and the new file is created exclusively with the permissions the
// umask allows. The descriptor of the new file becomes the stream, so no second open by
// name can be redirected; when that fails the new file is removed again.
FILE* CreateWorkingCopy(const char* name) {
#ifdef _WIN32
  _unlink(name);
  const int fd = _open(name, _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                       _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  FILE* stream = _fdopen(fd, "r+b");
  if (stream == nullptr) {
    _close(fd);
    _unlink(name);
  }
  return stream;
#else
  unlink(name);
  const int fd = open(name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  FILE* stream = fdopen(fd, "r+b");
  if (stream == nullptr) {
    close(fd);
    unlink(name);
  }
  return stream;
#endif
}

char MarkWorkingCopyName(char* path) {
  const size_t last = std::strlen(path) - 1;
  const char old = path[last];
  path[last] = '~';
  return old;
}

void RestorePath(char* path, char lastChar) { path[std::strlen(path) - 1] = lastChar; }
