// Recognising compound files: the container format that password-protected
// workbooks (and workbooks of the older binary format) come in instead of a
// zip package. The host reads neither, but says which one the user gave it.
#pragma once

#include <filesystem>
#include <string_view>

namespace sheet {

// Whether `header` (the first bytes of a file, at least 8) starts with the
// compound file signature.
bool isCompoundFile(std::string_view header);

// Whether the compound file `file` holds an encrypted package: a stream named
// "EncryptedPackage" beside its "EncryptionInfo". Directory entries store
// names in UTF-16LE; the file is searched for both names rather than walking
// the sector chains, which finds them wherever the directory lies. Returns
// false when the file cannot be read.
bool holdsEncryptedPackage(const std::filesystem::path& file);

}  // namespace sheet
