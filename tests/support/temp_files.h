// Temporary files for tests: a fresh directory per test, removed afterwards.
#pragma once

#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The full path of `name` inside the directory.
    std::string file(const std::string& name) const;

  private:
    std::string path_;
};

// Where many short-lived files are best made: /dev/shm where the system has it (in
// memory), else the temporary folder.
std::string ScratchBase();

void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);
bool Exists(const std::string& path);

// Bytes from a text, without its terminator.
Bytes B(const std::string& text);
Bytes Concat(const Bytes& a, const Bytes& b);

// A 128-byte record: "TAG", the five fields (each cut or NUL-padded to its width)
// and the genre byte.
Bytes MakeRecord(const std::string& title, const std::string& artist, const std::string& album,
                 const std::string& year, const std::string& comment, unsigned char genre);

// An APE tag's 32-byte footer ("APETAGEX", version 2000, the tag's size counting the
// footer, one item, no flags), followed by filler up to 131 bytes, so that its "TAG"
// falls exactly 128 bytes before the end of a file that ends with it.
Bytes ApeFooterAtRecordPlace(unsigned tagSize, unsigned version = 2000);

// `size` bytes of deterministic pseudo-random "audio" that holds no "T", so no
// marker appears in it by chance.
Bytes Audio(size_t size, unsigned seed = 1);
