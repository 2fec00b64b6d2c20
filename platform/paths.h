// File names as the program builds them, found on a disk that distinguishes letter case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The path that exists on disk for `path`. Each component that does not exist as written is
// matched against the entries of its directory without regard to letter case ("CD1" finds "cd1",
// "front.jpg" finds "FRONT.JPG"); a component that is not valid UTF-8 (a Windows-1252 name from an
// index written on Windows) is also tried in its UTF-8 form ("Citt\xE0" finds "Città").
// Components that match nothing are kept as written, so the result names a missing file then.
std::string ResolvePath(std::string_view path);

// The current directory joined with a relative name; "." and ".." folded lexically
// (symbolic links are not resolved). An absolute name is only folded.
std::string FullPathName(std::string_view path);

// The text after the last '/' (the whole text when there is none).
std::string NamePart(std::string_view path);

// The text up to and including the last '/' (empty when there is none).
std::string DirPart(std::string_view path);

// True when `path`, resolved as above, names an existing regular file (a symbolic link is followed).
// A folder, a FIFO, a device or a socket is no file: opening one could wait for ever.
bool FileExists(std::string_view path);

// True when `path`, resolved as above, names an existing directory.
bool DirectoryExists(std::string_view path);

// True when a component of `path` is "..": such a name could lead outside the compilation root.
bool LeavesRoot(std::string_view path);

// The names (without directory) of the entries of the directory part of `pattern` whose names
// match its name part, a wildcard of '*' (any run) and '?' (one character), ignoring letter case.
// Every kind of entry is found: files of any permission, hidden files, directories, links.
// The directory is resolved as above. An unreadable or missing directory gives no names.
// The names come in the order the directory yields them.
std::vector<std::string> FindMatching(std::string_view pattern);

// Case-insensitive wildcard match of one name against one pattern ('*' and '?').
bool WildcardMatch(std::string_view pattern, std::string_view name);

}  // namespace platform
