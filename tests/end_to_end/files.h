// Whole-file reads and writes for the test's own files.
#ifndef VORNAKDSN_TESTS_FILES_H
#define VORNAKDSN_TESTS_FILES_H

#include <string>

bool Exists(const std::string& path);
// The file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
bool WriteBytes(const std::string& path, const std::string& bytes);
// "/a/b" as Wine's drive Z: shows it.
std::string WindowsPath(const std::string& unixPath);

#endif
