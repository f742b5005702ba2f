#pragma once
// The drive-type question the configuration-set list asks to pick an icon: is a location on a
// network file system rather than a local disk?

#include <string>

namespace vantor {

// True when the existing path lies on a remote (network) file system: NFS, SMB/CIFS and the
// like. A path that cannot be examined counts as local.
bool IsRemoteDrive(const std::string& path);

}  // namespace vantor
