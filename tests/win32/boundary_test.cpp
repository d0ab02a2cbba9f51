// The Win32 layer's own plumbing: text conversion, error texts and the
// resource owners.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/text.h"

namespace quillon {
namespace {

TEST(Utf, RoundTripsEveryPlane) {
  const std::string utf8 = "C:\\Fïlm 片 \U0001D11E%+^~{}";
  const std::wstring wide = ToWide(utf8);
  EXPECT_EQ(wide, L"C:\\Fïlm 片 \U0001D11E%+^~{}");
  EXPECT_EQ(ToUtf8(wide), utf8);
  EXPECT_EQ(ToWide(""), L"");
  EXPECT_EQ(ToUtf8(L""), "");
}

TEST(Utf, KeepsEmbeddedNulsAndReplacesBrokenInput) {
  EXPECT_EQ(ToWide(std::string("a\0b", 3)), std::wstring(L"a\0b", 3));
  EXPECT_EQ(ToWide("a\xFF"
                   "b"),
            L"a\xFFFD"
            L"b");
  EXPECT_EQ(ToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

TEST(SystemErrorText, OneLineOfTheSystemsWords) {
  const std::string text = SystemErrorText(ERROR_ACCESS_DENIED);
  EXPECT_FALSE(text.empty());
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  EXPECT_NE(text.back(), ' ');
  EXPECT_EQ(SystemErrorText(0x2FFFFFFF), "error 805306367");
}

bool IsOpen(HANDLE handle) {
  DWORD flags = 0;
  return ::GetHandleInformation(handle, &flags) != FALSE;
}

TEST(UniqueHandle, ClosesOnceAndMoves) {
  HANDLE raw = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  {
    UniqueHandle first(raw);
    UniqueHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_TRUE(second);
    EXPECT_EQ(second.Get(), raw);
    EXPECT_TRUE(IsOpen(raw));
    UniqueHandle third;
    third = std::move(second);
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));
}

TEST(UniqueHandle, NullAndInvalidHandleValueAreBothEmpty) {
  EXPECT_FALSE(UniqueHandle(nullptr));
  EXPECT_FALSE(UniqueHandle(INVALID_HANDLE_VALUE));
  EXPECT_FALSE(UniqueFindHandle(INVALID_HANDLE_VALUE));
  EXPECT_FALSE(UniqueFindHandle(nullptr));
  UniqueHandle handle(INVALID_HANDLE_VALUE);
  handle.Reset();  // must not close anything
  EXPECT_FALSE(handle);
}

TEST(UniqueHandle, ResetClosesTheOldOneAndReleaseKeepsItOpen) {
  HANDLE first = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE second = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  UniqueHandle handle(first);
  handle.Reset(second);
  EXPECT_FALSE(IsOpen(first));
  EXPECT_EQ(handle.Release(), second);
  EXPECT_FALSE(handle);
  EXPECT_TRUE(IsOpen(second));
  ::CloseHandle(second);
}

TEST(UniqueHandle, PutClosesThePreviousBeforeHandingOutTheSlot) {
  HANDLE first = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  UniqueHandle handle(first);
  HANDLE* slot = handle.Put();
  EXPECT_FALSE(IsOpen(first));
  EXPECT_EQ(*slot, nullptr);
  *slot = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  EXPECT_TRUE(handle);
}

}  // namespace
}  // namespace quillon
