#pragma once
// Writes a whole output file so that no one ever sees it half written.

#include <cstddef>
#include <string>

// Writes the bytes to a fresh temporary file beside path and renames it over path once
// every byte is on disk. On any failure, and when the command is interrupted by a
// signal meanwhile, the temporary file is removed and path stays as it was. A link is
// followed; a folder, a device or a read-only file is refused, as the model writer does.
bool ReplaceFileContents(const std::string& path, const void* data, std::size_t size);
