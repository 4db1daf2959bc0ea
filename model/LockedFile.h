#pragma once
// Files that their writer holds locked (flock) from creation until it renames or removes
// them: a file of that kind whose lock is free was left by a process that died, and may
// go. Only the holder of the lock removes a file, so a live writer never loses its own.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>

// Creates path exclusively and takes its lock. 0 with fd set; EEXIST when the name is
// taken (a file of that name exists, or a sweeper took our new file away before we had
// its lock); or the errno.
int CreateLockedFile(const std::string& path, mode_t mode, int& fd);

// Opens path for reading and takes its lock when it is a plain file that no one holds:
// the descriptor, or -1. Where the file system has no locks, lockless says whether the
// file counts as free.
int LockIfUnlocked(const std::string& path, bool lockless);

// Removes path when it is a plain file and no one holds its lock; true when removed.
bool RemoveIfUnlocked(const std::string& path);

// Writes all n bytes at offset, through interrupted and short writes. 0 or the errno.
int WriteAllAt(int fd, const void* data, std::size_t n, std::uint64_t offset);
// Reads exactly n bytes at offset; a file that ends before gives EIO. 0 or the errno.
int ReadAllAt(int fd, void* data, std::size_t n, std::uint64_t offset);

// Flushes a folder, so that a file created, renamed or removed in it stays so after a
// crash of the machine. 0 or the errno.
int SyncFolder(const std::string& folder);

// The folder part of a path: "." for a bare name, "/" for a name in the root.
std::string FolderOf(const std::string& path);
