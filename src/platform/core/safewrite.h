// The one way this program replaces a file on disk. The new content goes to a
// temporary file beside the target; only when it is complete and flushed to
// disk is it renamed over the target, so readers, a crash or a power loss see
// the old file or the new one, never a part. Workbooks, cube files, store
// files, profile files and archives are all written this way.
//
// What a replacement guarantees:
// - The target keeps its permissions (and, where the system allows, its owner
//   and group). A new file gets 0666 less the process's creation mask.
// - A symbolic link is followed: the file it points to is replaced and the
//   link stays a link.
// - The temporary file is flushed before the rename and the folder after it;
//   either flush failing fails the replacement.
// - On any failure before the rename the temporary file is removed and the
//   target is exactly as it was.
//
// Temporary files are named "." + the target's name + "." + six random
// letters and digits + kSafeWriteSuffix, in the target's folder (a target
// name longer than kSafeWriteNameLimit bytes is cut to that length). A library
// that fills one by writing its own file and renaming it over ours (libzip
// does) uses the name of ours followed by "." and six more characters. A save
// that was killed leaves such a file behind; nothing else makes one.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <string_view>

namespace platform {

inline constexpr std::string_view kSafeWriteSuffix = ".tmp";
inline constexpr size_t kSafeWriteNameLimit = 200;

// One replacement of a file. Create it, fill temporary() (write it, or let a
// library such as libzip or SQLite write a file at that path), then commit().
// Destroying it without a commit, for instance because filling threw, removes
// the temporary file and leaves the target alone.
class SafeWrite {
public:
    // Creates an empty temporary file beside `target` (after following
    // symbolic links) with the mode the target will have. Throws Failure
    // naming the target when it cannot be created: a missing or read-only
    // folder, for instance.
    explicit SafeWrite(const std::filesystem::path& target);
    ~SafeWrite();
    SafeWrite(const SafeWrite&) = delete;
    SafeWrite& operator=(const SafeWrite&) = delete;

    // The file that commit() replaces: the given target with its links followed.
    const std::filesystem::path& target() const { return mTarget; }
    // The file to fill. It may be rewritten or replaced by another file of
    // the same name until commit(); empty after commit().
    const std::filesystem::path& temporary() const { return mTemporary; }

    // Gives the temporary file the target's mode, flushes it to disk, renames
    // it over the target and flushes the folder. Throws Failure naming the
    // target (its last platform error is the system's error code) when a step
    // fails. A failure before the rename removes the temporary file and
    // leaves the target as it was; only a failed flush of the folder comes
    // after the rename, and then replaced() is true: the target holds the new
    // content, which may not survive a power loss.
    void commit();
    // True once the rename has replaced the target.
    bool replaced() const { return mReplaced; }

private:
    void discard();

    std::filesystem::path mTarget;
    std::filesystem::path mTemporary;   // empty once renamed or removed
    mode_t mMode = 0;          // permission bits the target gets
    bool mKeepOwner = false;   // the target exists: give its owner and group back
    uid_t mOwner = 0;
    gid_t mGroup = 0;
    bool mReplaced = false;
    int mFolderLock = -1;      // the folder, locked shared while this write lives
};

// Replaces `target` with `content` through a SafeWrite. Throws Failure as
// SafeWrite does; on failure the target is untouched.
void replaceFile(const std::filesystem::path& target, std::string_view content);

}  // namespace platform
