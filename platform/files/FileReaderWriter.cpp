// Whole-file reads and the streaming reader and writer.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/files/FileInternal.h"
#include "platform/files/FileSystem.h"

namespace platform {

using namespace files_internal;

namespace {

// Opens a file (not a directory) for sequential reading; st receives its status.
int OpenForReading(const std::string& path, struct stat& st) {
    int fd;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        FailErrno();
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        FailErrno();
        CloseQuietly(fd);
        return -1;
    }
    if (S_ISDIR(st.st_mode)) {
        Fail(EISDIR);
        CloseQuietly(fd);
        return -1;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    return fd;
}

long long ReadSome(int fd, void* buffer, std::size_t size) {
    for (;;) {
        ssize_t n = ::read(fd, buffer, size);
        if (n >= 0) {
            return n;
        }
        if (errno != EINTR) {
            FailErrno();
            return -1;
        }
    }
}

}  // namespace

bool ReadWholeFile(const PathArg& path, std::string& out, uint64_t max_bytes) {
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return false;
    }
    struct stat st;
    int fd = OpenForReading(*native, st);
    if (fd < 0) {
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        CloseQuietly(fd);
        return Fail(EINVAL);
    }
    if (static_cast<uint64_t>(st.st_size) > max_bytes) {
        CloseQuietly(fd);
        return Fail(EFBIG);
    }
    std::string data;
    data.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        long long n = ReadSome(fd, buffer, sizeof buffer);
        if (n < 0) {
            CloseQuietly(fd);
            return false;
        }
        if (n == 0) {
            break;
        }
        if (data.size() + static_cast<uint64_t>(n) > max_bytes) {  // grew while read
            CloseQuietly(fd);
            return Fail(EFBIG);
        }
        data.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    out = std::move(data);
    return true;
}

// FileReader

FileReader::~FileReader() {
    Close();
}

FileReader::FileReader(FileReader&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

FileReader& FileReader::operator=(FileReader&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

bool FileReader::Open(const PathArg& path) {
    Close();
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return false;
    }
    struct stat st;
    fd_ = OpenForReading(*native, st);
    return fd_ >= 0;
}

long long FileReader::Read(void* buffer, std::size_t size) {
    if (fd_ < 0) {
        Fail(EBADF);
        return -1;
    }
    return ReadSome(fd_, buffer, size);
}

void FileReader::Close() {
    if (fd_ >= 0) {
        CloseQuietly(std::exchange(fd_, -1));
    }
}

// FileWriter

FileWriter::~FileWriter() {
    Close();
}

FileWriter::FileWriter(FileWriter&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      write_behind_(other.write_behind_),
      unflushed_(std::exchange(other.unflushed_, 0)) {}

FileWriter& FileWriter::operator=(FileWriter&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        write_behind_ = other.write_behind_;
        unflushed_ = std::exchange(other.unflushed_, 0);
    }
    return *this;
}

bool FileWriter::Open(const PathArg& path, Mode mode) {
    Close();
    unflushed_ = 0;
    const std::string* native = NativeOrFail(path);
    if (!native) {
        return false;
    }
    // As there, a read-only file is not opened for writing (even by root).
    struct stat st;
    if (::stat(native->c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            return Fail(EISDIR);
        }
        if (S_ISREG(st.st_mode) && IsReadOnlyMode(st.st_mode)) {
            return Fail(EACCES);
        }
    }
    int flags = O_WRONLY | O_CLOEXEC;
    switch (mode) {
        case Mode::kTruncate:
            flags |= O_CREAT | O_TRUNC;
            break;
        case Mode::kAppend:
            flags |= O_CREAT | O_APPEND;
            break;
        case Mode::kExistingOnly:
            flags |= O_TRUNC;
            break;
    }
    int fd;
    do {
        fd = ::open(native->c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return FailErrno();
    }
    fd_ = fd;
    return true;
}

bool FileWriter::Write(const void* data, std::size_t size) {
    if (fd_ < 0) {
        return Fail(EBADF);
    }
    // One write() call for the whole piece: with O_APPEND it lands at the end
    // in one piece; a short write (disk full, signal) continues from there.
    if (!WriteAll(fd_, data, size)) {
        return false;
    }
    if (write_behind_ != 0 && (unflushed_ += size) >= write_behind_) {
        ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);  // a hint: no wait, no result
        unflushed_ = 0;
    }
    return true;
}

bool FileWriter::Sync() {
    if (fd_ < 0) {
        return Fail(EBADF);
    }
    return ::fsync(fd_) == 0 || FailErrno();
}

bool FileWriter::Close() {
    if (fd_ < 0) {
        return true;
    }
    int fd = std::exchange(fd_, -1);
    return ::close(fd) == 0 || FailErrno();
}

}  // namespace platform
