#pragma once
// Path helpers. A path's parts are separated by the native separator; on Windows "/" is
// accepted too, and a drive colon ends the drive part.
#include <string>

namespace kvx {

// The path with the native separator appended unless it already ends with one; "" gives the
// separator alone.
std::string AddBackslash(const std::string& path);
// The file name part: what follows the last separator (or drive colon on Windows).
std::string ExtractFileName(const std::string& path);
// The folder part, without a trailing separator ("" when the path has no folder).
std::string ExtractFileDir(const std::string& path);
// The extension of the file name, dot included; "" without a dot.
std::string ExtractFileExt(const std::string& path);
// The file name with its extension replaced (or appended when it has none).
std::string ChangeFileExt(const std::string& path, const std::string& extension);
// The file name without its extension: the first occurrence of the extension text in the
// name loses four characters (photo.jpeg gives photog, as piece names have always had it).
std::string FileNameWithoutExt(const std::string& path);

}  // namespace kvx
