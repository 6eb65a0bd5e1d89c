#include "platform/core/safewrite.h"

#include "platform/core/fileio.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

namespace platform {

namespace {

// As many links as the kernel itself follows before it gives up with ELOOP.
constexpr int kMaxLinkHops = 40;
// Random names collide only when something else made the same name; a few
// tries make that vanishingly rare.
constexpr int kNameAttempts = 100;

// Links are followed by hand rather than by canonical(): a link to a file
// that does not exist yet must create that file, not be replaced itself.
// Returns false when the links go round in a loop.
bool followLinks(std::filesystem::path& path)
{
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(path, error))
            return true;
        const std::filesystem::path next = std::filesystem::read_symlink(path, error);
        if (error)
            return true;
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    return false;
}

std::string randomLetters()
{
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char bytes[6] = {};
    // getrandom, unlike a generator seeded once, gives a forked child other names than its parent.
    while (::getrandom(bytes, sizeof bytes, 0) < 0 && errno == EINTR) {
    }
    std::string letters;
    for (const unsigned char byte : bytes)
        letters += kLetters[byte % kLetters.size()];
    return letters;
}

int openRetrying(const char* path, int flags, mode_t mode = 0)
{
    int fd = -1;
    do {
        fd = ::open(path, flags, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int syncRetrying(int fd)
{
    int result = 0;
    do {
        result = ::fsync(fd);
    } while (result != 0 && errno == EINTR);
    return result;
}

std::filesystem::path folderOf(const std::filesystem::path& file)
{
    return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

// The target's name as its temporaries carry it.
std::string temporaryStem(const std::filesystem::path& target)
{
    std::string name = target.filename().string();
    name.resize(std::min(name.size(), kSafeWriteNameLimit));
    return "." + name + ".";
}

bool isRandomPart(std::string_view text)
{
    return text.size() == 6 && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

// True for "<stem>XXXXXX.tmp" and "<stem>XXXXXX.tmp.YYYYYY": ours, or the
// file libzip writes in place of ours.
bool isTemporaryOf(std::string_view name, std::string_view stem)
{
    if (!name.starts_with(stem))
        return false;
    name.remove_prefix(stem.size());
    if (name.size() < 6 || !isRandomPart(name.substr(0, 6)) || !name.substr(6).starts_with(kSafeWriteSuffix))
        return false;
    name.remove_prefix(6 + kSafeWriteSuffix.size());
    return name.empty() || (name.size() == 7 && name[0] == '.' && isRandomPart(name.substr(1)));
}

// Removes the regular files of `folder` that are temporaries of `target`.
void removeStaleTemporaries(const std::filesystem::path& folder, const std::filesystem::path& target)
{
    const std::string stem = temporaryStem(target);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        std::error_code ignored;
        if (isTemporaryOf(name, stem) && it->is_regular_file(ignored) && !it->is_symlink(ignored))
            ::unlink(it->path().c_str());
    }
}

int flockRetrying(int fd, int operation)
{
    int result = 0;
    do {
        result = ::flock(fd, operation);
    } while (result != 0 && errno == EINTR);
    return result;
}

// Locks `folder` shared for a write of `target`, first removing the
// target's stale temporaries when no other write holds the folder. Returns
// the locked descriptor, or -1 when the folder cannot be locked.
int lockFolder(const std::filesystem::path& folder, const std::filesystem::path& target)
{
    const int fd = openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (flockRetrying(fd, LOCK_EX | LOCK_NB) == 0)
        removeStaleTemporaries(folder, target);
    // Shared from here on; waits only while another write cleans up.
    if (flockRetrying(fd, LOCK_SH) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Creates a new temporary file for `target` with `mode` (less the creation
// mask, which the kernel applies). Returns its descriptor, or -1 with errno set.
int createTemporary(const std::filesystem::path& target, mode_t mode, std::filesystem::path& made)
{
    const std::string stem = temporaryStem(target);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const std::filesystem::path candidate = folderOf(target) / (stem + randomLetters() + std::string(kSafeWriteSuffix));
        const int fd = openRetrying(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) {
            made = candidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

// 0 when `temporary` got its mode and owner and reached the disk, else errno.
int settle(const std::filesystem::path& temporary, mode_t mode, bool keepOwner, uid_t owner, gid_t group)
{
    // Opened by name: a library that filled the file may have replaced it.
    const int fd = openRetrying(temporary.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // Only what the system allows: a user may hand a file to a group of
    // theirs, not to someone else. Before fchmod, which chown would undo.
    if (keepOwner)
        (void)!::fchown(fd, owner, group);
    const int error = ::fchmod(fd, mode) != 0 || syncRetrying(fd) != 0 ? errno : 0;
    ::close(fd);
    return error;
}

// 0 when the folder's entries reached the disk, else errno.
int syncFolder(const std::filesystem::path& folder)
{
    const int fd = openRetrying(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // EINVAL: the file system keeps no folder to flush.
    const int error = syncRetrying(fd) != 0 && errno != EINVAL ? errno : 0;
    ::close(fd);
    return error;
}

}  // namespace

SafeWrite::SafeWrite(const std::filesystem::path& target) : mTarget(target)
{
    if (!followLinks(mTarget))
        throw systemFailure(ELOOP, "following the links of '" + target.string() + "'");
    struct stat existing {};
    if (::stat(mTarget.c_str(), &existing) == 0) {
        mMode = existing.st_mode & 07777;
        mKeepOwner = true;
        mOwner = existing.st_uid;
        mGroup = existing.st_gid;
    }
    mFolderLock = lockFolder(folderOf(mTarget), mTarget);
    // An existing file's mode from the start, so no one reads the new content
    // who could not read the old; a new file gets 0666 less the creation mask.
    const int fd = createTemporary(mTarget, mKeepOwner ? mMode & 0777 : 0666, mTemporary);
    if (fd < 0) {
        const int error = errno;
        ::close(mFolderLock);   // no destructor runs for a constructor that throws
        throw systemFailure(error, "creating a temporary file for '" + mTarget.string() + "'");
    }
    struct stat made {};
    if (!mKeepOwner && ::fstat(fd, &made) == 0)
        mMode = made.st_mode & 07777;
    ::close(fd);
}

SafeWrite::~SafeWrite()
{
    discard();
    if (mFolderLock >= 0)
        ::close(mFolderLock);
}

void SafeWrite::discard()
{
    if (!mTemporary.empty())
        ::unlink(mTemporary.c_str());
    mTemporary.clear();
}

void SafeWrite::commit()
{
    if (const int error = settle(mTemporary, mMode, mKeepOwner, mOwner, mGroup); error != 0) {
        discard();
        throw systemFailure(error, "flushing the new content of '" + mTarget.string() + "' to disk");
    }
    if (::rename(mTemporary.c_str(), mTarget.c_str()) != 0) {
        const int error = errno;
        discard();
        throw systemFailure(error, "replacing '" + mTarget.string() + "'");
    }
    mTemporary.clear();
    mReplaced = true;
    if (const int error = syncFolder(folderOf(mTarget)); error != 0)
        throw systemFailure(error, "flushing the folder of the replaced '" + mTarget.string() + "' to disk");
}

void replaceFile(const std::filesystem::path& target, std::string_view content)
{
    SafeWrite write(target);
    const int fd = openRetrying(write.temporary().c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    bool written = fd >= 0 && writeAll(fd, content);
    int error = errno;
    // A close interrupted by a signal has still closed the file on Linux.
    if (fd >= 0 && ::close(fd) != 0 && errno != EINTR && written) {
        written = false;
        error = errno;
    }
    if (!written)
        throw systemFailure(error, "writing the new content of '" + write.target().string() + "'");
    write.commit();
}

}  // namespace platform
