#include "platform/store/settingsfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <thread>
#include <utility>
#include <vector>

namespace platform {

namespace {

using settings::IniText;
using settings::Schema;

std::string folderOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A descriptor closed when it goes out of scope.
class Fd {
public:
    explicit Fd(int fd = -1)
        : fd_(fd)
    {
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd() { reset(); }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_;
};

struct Contents {
    enum State { Missing, Read, Unreadable } state = Missing;
    IniText text{true};
    bool cut = false; // the file goes on beyond what was read
};

// Reads a regular file in small pieces, keeping the lines of others only from a small file.
// Anything that is not a regular file is never opened: a FIFO would block, a device
// could be endless or react to being opened.
Contents readFile(const std::string &path)
{
    Contents contents;
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0) {
        contents.state = errno == ENOENT ? Contents::Missing : Contents::Unreadable;
        return contents;
    }
    contents.state = Contents::Unreadable;
    if (!S_ISREG(info.st_mode))
        return contents;
    const Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return contents;

    const bool small = static_cast<std::size_t>(info.st_size) <= settings::OthersKeptUpTo;
    contents.text = IniText(small);
    const std::size_t limit = small ? settings::OthersKeptUpTo : SettingsFile::LongestScan;
    std::vector<char> piece(std::size_t{64} << 10);
    std::size_t total = 0;
    while (true) {
        const ssize_t got = ::read(fd.get(), piece.data(), piece.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return contents; // still Unreadable
        if (got == 0)
            break;
        if (total >= limit) {
            contents.cut = true;
            break;
        }
        const auto size = std::min(static_cast<std::size_t>(got), limit - total);
        contents.text.add(std::string_view(piece.data(), size));
        total += size;
        contents.cut = size < static_cast<std::size_t>(got);
    }
    contents.text.finish();
    contents.state = Contents::Read;
    return contents;
}

struct Target {
    std::string path;
    bool exists = false;
    bool viaLink = false;
};

// Where a write of path may go: path itself, or the final target of the links it is, as
// long as that is a regular file or missing (and, behind a link, in a folder of ours).
std::optional<Target> writableTarget(const std::string &path)
{
    Target target{path};
    for (int hop = 0;; ++hop) {
        struct stat info { };
        if (::lstat(target.path.c_str(), &info) != 0) {
            if (errno != ENOENT)
                return std::nullopt;
            break;
        }
        if (S_ISREG(info.st_mode)) {
            target.exists = true;
            break;
        }
        if (!S_ISLNK(info.st_mode) || hop == 40)
            return std::nullopt;
        char link[PATH_MAX];
        const ssize_t length = ::readlink(target.path.c_str(), link, sizeof link);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof link)
            return std::nullopt;
        const std::string to(link, static_cast<std::size_t>(length));
        target.path = to.front() == '/' ? to : folderOf(target.path) + '/' + to;
        target.viaLink = true;
    }
    if (target.viaLink) {
        struct stat folder { };
        if (::stat(folderOf(target.path).c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode)
            || folder.st_uid != ::geteuid())
            return std::nullopt;
    }
    return target;
}

// The lock file "<name>.lock", held with flock for as long as the object lives and removed
// before it is released; a lock file nobody holds is a leftover.
class Lock {
public:
    // wait: whether to wait (a little) for another copy of the program that holds it.
    bool take(const std::string &name, bool wait)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (true) {
            fd_.reset(::open(name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
            if (fd_.get() < 0)
                return false;
            if (::flock(fd_.get(), LOCK_EX | LOCK_NB) == 0) {
                // The holder before us may have removed the file we opened.
                struct stat held {
                }, named{};
                if (::fstat(fd_.get(), &held) == 0 && ::lstat(name.c_str(), &named) == 0
                    && held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                    name_ = name;
                    return true;
                }
            }
            fd_.reset();
            if (!wait || std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    Lock() = default;
    Lock(const Lock &) = delete;
    Lock &operator=(const Lock &) = delete;
    ~Lock()
    {
        if (!name_.empty())
            ::unlink(name_.c_str());
    }

private:
    Fd fd_;
    std::string name_;
};

// "<name>." and six letters or digits: the temporary files of our writes (and of the
// QSettings of earlier versions).
bool isTemporaryOf(std::string_view entry, std::string_view name)
{
    if (entry.size() != name.size() + 7 || entry.substr(0, name.size()) != name
        || entry[name.size()] != '.')
        return false;
    for (const char c : entry.substr(name.size() + 1)) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// Removes our own temporary files beside target, left by runs killed while they wrote,
// and a lock file nobody holds. Only while holding the lock: a copy of the program that is
// writing right now holds it and keeps its temporary file.
void removeLeftovers(const std::string &target)
{
    Lock lock;
    if (!lock.take(target + ".lock", false))
        return;
    DIR *folder = ::opendir(folderOf(target).c_str());
    if (!folder)
        return;
    const std::string name = nameOf(target);
    while (const dirent *entry = ::readdir(folder)) {
        if (!isTemporaryOf(entry->d_name, name))
            continue;
        struct stat info { };
        if (::fstatat(::dirfd(folder), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(info.st_mode) && info.st_uid == ::geteuid())
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

void syncFolder(const std::string &path)
{
    const Fd folder(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

// Keeps the file as "<path>.damaged" before it is replaced: a second name for it, or a
// copy where the file system has no hard links.
bool keepAsDamaged(const std::string &path)
{
    const std::string damaged = path + ".damaged";
    ::unlink(damaged.c_str());
    if (::link(path.c_str(), damaged.c_str()) == 0)
        return true;
    const Fd from(::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC));
    const Fd to(
        ::open(damaged.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (from.get() < 0 || to.get() < 0)
        return false;
    std::vector<char> piece(std::size_t{64} << 10);
    ssize_t got = 0;
    while ((got = ::read(from.get(), piece.data(), piece.size())) > 0) {
        if (!writeAll(to.get(), std::string_view(piece.data(), static_cast<std::size_t>(got))))
            return false;
    }
    return got == 0 && ::fsync(to.get()) == 0;
}

// Writes bytes to a temporary file beside target and renames it over target.
bool replace(const Target &target, std::string_view bytes, bool keepOld)
{
    mode_t mode = 0600;
    struct stat old { };
    if (target.exists && ::stat(target.path.c_str(), &old) == 0)
        mode = old.st_mode & 07777;

    std::string temporary = target.path + ".XXXXXX";
    Fd fd(::mkstemp(temporary.data()));
    if (fd.get() < 0)
        return false;
    ::fcntl(fd.get(), F_SETFD, FD_CLOEXEC);
    bool done
        = ::fchmod(fd.get(), mode) == 0 && writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    done = ::close(fd.release()) == 0 && done;
    if (done && keepOld)
        done = keepAsDamaged(target.path);
    if (done)
        done = ::rename(temporary.c_str(), target.path.c_str()) == 0;
    if (!done) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(target.path);
    return true;
}

bool makeFolders(const std::string &folder)
{
    struct stat info { };
    if (::stat(folder.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode);
    if (folder == "/" || folder == "." || !makeFolders(folderOf(folder)))
        return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

SettingsFile::SettingsFile(std::string path)
    : path_(std::move(path))
{
    if (const auto target = writableTarget(path_))
        removeLeftovers(target->path);

    if (const Contents contents = readFile(path_); contents.state == Contents::Read) {
        for (std::size_t i = 0; i < Schema.size(); ++i)
            found(i, contents.text.text(i));
    }
}

void SettingsFile::flush()
{
    keptAll_ = !changed();
    const auto target = writableTarget(path_);
    if (!target || (!target->viaLink && !makeFolders(folderOf(target->path))))
        return;
    Lock lock;
    lock.take(target->path + ".lock", true); // without it two closing copies may race, harmlessly
    const Contents now = readFile(target->path);
    if (now.state == Contents::Unreadable)
        return; // never replace what could not be read
    const bool keepOld = now.state == Contents::Read && (now.text.readAround() || now.cut);
    if (replace(*target, now.text.rewrite(written()), keepOld))
        keptAll_ = true;
}

} // namespace platform
