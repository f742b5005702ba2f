#include "config/drive_type.h"

#include <sys/vfs.h>

#include <cstdint>

#include "common/paths.h"

namespace vantor {

namespace {

// File-system magic numbers of the network file systems a station's data may live on.
constexpr uint32_t kRemoteMagics[] = {
    0x6969u,      // NFS
    0x517Bu,      // SMB
    0xFF534D42u,  // CIFS
    0xFE534D42u,  // SMB2
    0x564Cu,      // NCP (NetWare)
    0x5346414Fu,  // AFS
    0x73757245u,  // Coda
    0x00C36400u,  // Ceph
};

}  // namespace

bool IsRemoteDrive(const std::string& path) {
    if (path.empty()) return false;
    struct statfs info {};
    if (statfs(ResolvePath(NativePath(path)).c_str(), &info) != 0) return false;
    const auto magic = static_cast<uint32_t>(info.f_type);
    for (uint32_t remote : kRemoteMagics)
        if (magic == remote) return true;
    return false;
}

}  // namespace vantor
