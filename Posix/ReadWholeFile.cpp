#include "Posix/ReadWholeFile.h"

#include <cerrno>
#include <optional>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

EFileRead ReadWholeFile(const char* path, std::vector<std::uint8_t>& bytes, std::size_t extraZeroBytes)
{
    const int file = open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0)
        return EFileRead::NotFound;
    struct stat info{};
    const std::uint64_t size = fstat(file, &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    if (size >> 32 != 0)
    {
        close(file);
        return EFileRead::TooLarge;
    }
    bytes.assign(static_cast<std::size_t>(size) + extraZeroBytes, 0);
    // At least one read, so that what opens but cannot be read (a folder) is found out even when its
    // size says there is nothing to read. A file that shrank meanwhile leaves zeros behind.
    bool failed = false;
    std::uint8_t probe = 0;
    for (std::size_t done = 0;;)
    {
        const bool probing = done == size;
        const ssize_t count = read(file, probing ? &probe : bytes.data() + done, probing ? 1 : size - done);
        if (count < 0 && errno == EINTR)
            continue;
        failed = count < 0;
        if (count <= 0 || probing)
            break;
        done += static_cast<std::size_t>(count);
        if (done == size)
            break;
    }
    close(file);
    return failed ? EFileRead::ReadFailed : EFileRead::Ok;
}

std::unique_ptr<IBitmap> ReadBmpDataFile(const char* path)
{
    std::vector<std::uint8_t> file;
    if (ReadWholeFile(path, file, 0) != EFileRead::Ok)
        return nullptr;
    const std::optional<SBmpHeader> header = CheckBmpFile(file);
    if (!header)
        return nullptr;
    return ReadBmpFile(std::move(file), *header);
}
