#include "file_io.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Fail(std::string *error, const std::string &what, const char *path, int err)
{
    *error = what + " " + path;
    if (err)
        *error += std::string(": ") + strerror(err);
    return false;
}

} // namespace

bool ReadInput(const char *path, size_t room, uint64_t maxSize, unsigned char **buffer,
               uint64_t *size, std::string *error)
{
    *buffer = nullptr;
    *size = 0;
    FILE *f = fopen(path, "rb");
    if (!f)
        return Fail(error, "cannot open", path, errno);
    struct stat st;
    if (fstat(fileno(f), &st) != 0) {
        int err = errno;
        fclose(f);
        return Fail(error, "cannot examine", path, err);
    }
    if (!S_ISREG(st.st_mode)) {
        fclose(f);
        return Fail(error, "not a regular file:", path, 0);
    }
    if ((uint64_t)st.st_size > maxSize) {
        fclose(f);
        *error = std::string(path) + " is " + std::to_string((unsigned long long)st.st_size) +
                 " bytes; the format records at most " +
                 std::to_string((unsigned long long)maxSize) + " (4 GiB - 1)";
        return false;
    }
    uint64_t n = (uint64_t)st.st_size;
    unsigned char *buf = (unsigned char *)malloc(room + (size_t)n + 1);
    if (!buf) {
        fclose(f);
        return Fail(error, "not enough memory to read", path, 0);
    }
    size_t got = n ? fread(buf + room, 1, (size_t)n, f) : 0;
    // The file must not have grown or shrunk while it was read.
    bool short_read = got != n || getc(f) != EOF;
    bool bad = ferror(f) != 0;
    fclose(f);
    if (bad || short_read) {
        free(buf);
        return Fail(error, bad ? "cannot read" : "file changed while reading", path, 0);
    }
    *buffer = buf;
    *size = n;
    return true;
}

AtomicOutput::~AtomicOutput()
{
    Discard();
}

bool AtomicOutput::Open(const char *finalPath, std::string *error)
{
    Discard();
    final_ = finalPath;
    struct stat st;
    if (stat(finalPath, &st) == 0 && S_ISDIR(st.st_mode))
        return Fail(error, "output is a directory:", finalPath, 0);

    std::string pattern = final_ + ".tmp.XXXXXX";
    int fd = mkstemp(&pattern[0]);
    if (fd < 0)
        return Fail(error, "cannot create a temporary file for", finalPath, errno);
    temp_ = pattern;
    // mkstemp creates the file for the owner only; give it the usual mode.
    mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    file_ = fdopen(fd, "wb");
    if (!file_) {
        int err = errno;
        close(fd);
        Discard();
        return Fail(error, "cannot write", finalPath, err);
    }
    return true;
}

bool AtomicOutput::Commit(std::string *error)
{
    if (!file_)
        return Fail(error, "no open output for", final_.c_str(), 0);
    bool ok = fflush(file_) == 0 && !ferror(file_) && fsync(fileno(file_)) == 0;
    int err = errno;
    if (fclose(file_) != 0 && ok) {
        ok = false;
        err = errno;
    }
    file_ = nullptr;
    if (!ok) {
        Discard();
        return Fail(error, "cannot write", final_.c_str(), err);
    }
    if (rename(temp_.c_str(), final_.c_str()) != 0) {
        err = errno;
        Discard();
        return Fail(error, "cannot rename the temporary file to", final_.c_str(), err);
    }
    temp_.clear();
    return true;
}

void AtomicOutput::Discard()
{
    if (file_) {
        fclose(file_);
        file_ = nullptr;
    }
    if (!temp_.empty()) {
        unlink(temp_.c_str());
        temp_.clear();
    }
}
