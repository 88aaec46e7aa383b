#include "kermit/ReceivedFile.h"

#include <cstring>

#include "util/CalvyxError.h"
#include "util/Utils.h"

namespace kermit {

bool IsSafeFileName(std::string_view name)
{
    if (name.empty() || name == "." || name == "..") return false;
    return name.find_first_of(std::string_view("/\\:\0", 4)) == std::string_view::npos;
}

void StoreReceivedFile(const std::string& path, const ByteString& data)
{
    if (const int err = ReplaceFile(path, data); err != 0)
        throw CalvyxError("Cannot write file \"" + path + "\". " + std::strerror(err));
}

} // namespace kermit
