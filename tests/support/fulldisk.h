// A real full disk for one test: a small memory file system mounted on a
// fresh folder, filled until the kernel says ENOSPC. Mounting needs the
// right to mount (root in CI); without it the test is skipped, and under
// CI=true it fails, like a missing outside program.
#pragma once

#include "support/requiredprograms.h"
#include "support/scratchfolder.h"

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>

class FullDisk {
public:
    // Mounts `bytes` of space; check mounted() before use.
    explicit FullDisk(size_t bytes = 512 * 1024)
    {
        const std::string options = "size=" + std::to_string(bytes);
        mMounted = ::mount("tmpfs", mFolder.path().c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
        mError = mMounted ? 0 : errno;
    }
    ~FullDisk()
    {
        if (mMounted)
            ::umount2(mFolder.path().c_str(), MNT_DETACH);
    }
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    bool mounted() const { return mMounted; }
    std::string whyNot() const { return std::strerror(mError); }
    std::filesystem::path operator/(const std::string& name) const { return mFolder / name; }

    // Takes every free byte.
    void fill()
    {
        std::ofstream filler(mFolder / "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), std::streamsize(block.size())) && filler.flush()) {
        }
    }

private:
    ScratchFolder mFolder;
    bool mMounted = false;
    int mError = 0;
};

// Skips the test (fails it under CI=true) when `disk` could not be mounted.
#define REQUIRE_MOUNTED(disk) \
    REQUIRE_SETUP((disk).mounted() ? std::string() : "a small file system for a full disk: " + (disk).whyNot())
