// game/regular_file.cpp — opening a file the game reads without ever waiting on one that is no file
#include "game/regular_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const char* kindOfFile(unsigned mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISFIFO(mode)) return "a pipe";
    if (S_ISSOCK(mode)) return "a socket";
    return "something else";
}

namespace {

std::string largerThanAny(const char* largerThan, long long mostBytes) {
    return std::string("it is larger than ") + largerThan + " (" + std::to_string(mostBytes) + " bytes)";
}

}  // namespace

FileCheck openRegularFile(const char* path, long long mostBytes, const char* largerThan, int& file,
                          std::string& problem) {
    // Not blocking: opening a pipe with no writer would wait for one.
    file = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0) {
        problem = std::string("cannot open it (") + std::strerror(errno) + ")";
        return FILE_CANNOT_OPEN;
    }
    struct stat status;
    if (fstat(file, &status) != 0)
        problem = std::string("cannot read it (") + std::strerror(errno) + ")";
    else if (!S_ISREG(status.st_mode))
        problem = std::string("it is ") + kindOfFile(status.st_mode) + ", not a file";
    else if (status.st_size > mostBytes)
        problem = largerThanAny(largerThan, mostBytes);
    else
        return FILE_READABLE;
    close(file);
    file = -1;
    return FILE_REFUSED;
}

FileCheck readRegularFile(const char* path, long long mostBytes, const char* largerThan, std::string& content,
                          std::string& problem) {
    content.clear();
    problem.clear();
    int file;
    const FileCheck check = openRegularFile(path, mostBytes, largerThan, file, problem);
    if (check != FILE_READABLE) return check;
    char block[65536];
    for (ssize_t got; (got = read(file, block, sizeof block)) != 0;) {
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            problem = std::string("cannot read it (") + std::strerror(errno) + ")";
            break;
        }
        content.append(block, static_cast<size_t>(got));
        if (static_cast<long long>(content.size()) > mostBytes) {   // it grew meanwhile
            problem = largerThanAny(largerThan, mostBytes);
            break;
        }
    }
    close(file);
    return problem.empty() ? FILE_READABLE : FILE_REFUSED;
}
