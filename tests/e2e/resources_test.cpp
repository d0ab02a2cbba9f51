// What the built Quillon.exe carries: its version record, icon and manifest,
// read from the file as Explorer and the loader read them.

#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "maker.h"
#include "support/quillon_run.h"

namespace quillon::e2e {
namespace {

// The exe loaded as plain data: its resources, no code run.
class ResourceFile {
 public:
  explicit ResourceFile(const std::wstring& path)
      : module_(::LoadLibraryExW(path.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ResourceFile(const ResourceFile&) = delete;
  ResourceFile& operator=(const ResourceFile&) = delete;
  ~ResourceFile() {
    if (module_ != nullptr) ::FreeLibrary(module_);
  }
  HMODULE Get() const { return module_; }

  std::string Text(LPCWSTR type, LPCWSTR name) const {
    const HRSRC found = ::FindResourceW(module_, name, type);
    if (found == nullptr) return {};
    const HGLOBAL loaded = ::LoadResource(module_, found);
    const auto* bytes = static_cast<const char*>(::LockResource(loaded));
    return bytes != nullptr ? std::string(bytes, ::SizeofResource(module_, found)) : std::string();
  }

 private:
  HMODULE module_;
};

std::wstring VersionString(const std::vector<BYTE>& block, const std::wstring& name) {
  void* value = nullptr;
  UINT length = 0;
  const std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
  if (!::VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return {};
  return std::wstring(static_cast<const wchar_t*>(value));
}

TEST(BuiltProgramTest, CarriesTheVersionRecordInUsEnglishUnicode) {
  const std::wstring exe = BuiltQuillonExe();
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u) << "no version record";
  std::vector<BYTE> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));

  struct Translation {
    WORD language;
    WORD codePage;
  };
  Translation* translations = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation",
                               reinterpret_cast<void**>(&translations), &length));
  ASSERT_GE(length, sizeof(Translation));
  EXPECT_EQ(translations[0].language, 0x0409);
  EXPECT_EQ(translations[0].codePage, 1200);

  const std::pair<const wchar_t*, std::wstring> expected[] = {
      {L"FileVersion", L"1.00"},
      {L"ProductVersion", L"1.00"},
      {L"ProductName", L"Quillon"},
      {L"InternalName", L"Quillon"},
      {L"OriginalFilename", L"Quillon.exe"},
      {L"CompanyName", ToWide(QUILLON_MAKER_NAME)},
  };
  for (const auto& [name, value] : expected)
    EXPECT_EQ(VersionString(block, name), value) << ToUtf8(name);
}

TEST(BuiltProgramTest, CarriesItsIconAndManifest) {
  const std::wstring exe = BuiltQuillonExe();
  EXPECT_GE(::ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0), 1u) << "no icon";

  ResourceFile file(exe);
  ASSERT_NE(file.Get(), nullptr);
  const std::string manifest = file.Text(RT_MANIFEST, MAKEINTRESOURCEW(1));
  ASSERT_FALSE(manifest.empty()) << "no application manifest";
  for (const char* part : {
           "<requestedExecutionLevel level=\"asInvoker\"", ">true</dpiAware>",
           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
       })
    EXPECT_NE(manifest.find(part), std::string::npos) << "manifest lacks " << part;
  // The window's controls are the system's own (user32) ones: asking for
  // common controls 6 would load that library into every start.
  EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
}

// Each build makes the program for the machine its tests run on, and its
// manifest names that machine: a manifest naming another one can stop the
// program from starting on Windows.
TEST(BuiltProgramTest, IsMadeForItsOwnMachine) {
#ifdef _WIN64
  const WORD machine = IMAGE_FILE_MACHINE_AMD64;
  const char* architecture = "processorArchitecture=\"amd64\"";
#else
  const WORD machine = IMAGE_FILE_MACHINE_I386;
  const char* architecture = "processorArchitecture=\"x86\"";
#endif
  ResourceFile file(BuiltQuillonExe());
  ASSERT_NE(file.Get(), nullptr);
  // A module loaded as a data file has its low bits set as a marker.
  const auto* base = reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(file.Get()) &
                                                   ~static_cast<ULONG_PTR>(3));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
  const auto* headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  ASSERT_EQ(headers->Signature, IMAGE_NT_SIGNATURE);
  EXPECT_EQ(headers->FileHeader.Machine, machine);
  EXPECT_EQ(headers->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  const std::string manifest = file.Text(RT_MANIFEST, MAKEINTRESOURCEW(1));
  EXPECT_NE(manifest.find(architecture), std::string::npos) << "manifest lacks " << architecture;
}

}  // namespace
}  // namespace quillon::e2e
