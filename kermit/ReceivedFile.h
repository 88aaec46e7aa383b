#pragma once
// The files the calculator names in F and R packets live in the engine's folder and
// nowhere else; a received file replaces an older one only once it is complete.
#include <string>
#include <string_view>

#include "util/ByteString.h"

namespace kermit {

// A plain file name: not empty, not "." or "..", no folder separator of any platform,
// no drive colon, no NUL. Anything else could leave the folder.
bool IsSafeFileName(std::string_view name);

// Writes data to folder/name through a temporary file in the same folder that is renamed
// over the target when complete, so a failed write leaves the old file (or none) and no
// partial one; a link of that name is replaced, never written through. Raises
// CalvyxError "Cannot write file "path". reason" on failure.
void StoreReceivedFile(const std::string& path, const ByteString& data);

} // namespace kermit
