#pragma once
// Finding files whatever their case on a case-sensitive file system. Archive names are upper case;
// the files of a fallback folder or a source tree on disk need not be. Names compare after the same
// upper-casing that archive names get (in code page 932; disk names are UTF-8).

#include <optional>
#include <string>
#include <vector>

namespace archive {

// The entry of `folder` (ending in "/") named `name` whatever its case: `name` itself when it exists,
// otherwise the first matching entry in byte order. None when nothing matches.
std::optional<std::string> FindEntryNoCase(const std::string& folder, const std::string& name);

// folder + pieces joined with "/", each piece found whatever its case (UTF-8 pieces).
std::optional<std::string> FindPathNoCase(const std::string& folder, const std::vector<std::string>& pieces);

// Every entry of `folder` whose name matches `name` whatever its case, in byte order.
std::vector<std::string> ListEntriesNoCase(const std::string& folder, const std::string& name);

}  // namespace archive
