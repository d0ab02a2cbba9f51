#pragma once
// A test's own folder for what it writes, so that no two tests (nor two
// runs side by side) meet on disk.

#include <string>
#include <string_view>

namespace quillon::test {

// A fresh, empty folder under the temporary folder, named after the test
// (`name`, with the characters a file name cannot hold replaced), this
// process and a count; removed with everything in it at the end.
class ScratchFolder {
 public:
  explicit ScratchFolder(std::wstring_view name);
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();

  // False when the folder could not be made.
  bool Made() const { return made_; }
  // Ends in a backslash.
  const std::wstring& Path() const { return path_; }
  std::string Utf8Path() const;
  // Leaves the folder in place at the end, for a look after a failure.
  void Keep() { keep_ = true; }

 private:
  std::wstring path_;
  bool made_ = false;
  bool keep_ = false;
};

}  // namespace quillon::test
