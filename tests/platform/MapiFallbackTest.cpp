// TTNEFReader::DecompressRTFWithMapi against small mail libraries of our own that export
// none, some or all of the three functions and misbehave in chosen ways.

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#else
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <map>

#include "CompressedRtf.h"
#include "Exception.h"
#include "TNEFReaderClass.h"
#include "TempDir.h"
#include "TnefBuilder.h"
#include "XdgSandbox.h"
#ifdef _WIN32
#include "ExecutablePath.h"
#include "WideText.h"
#endif

namespace {

const std::string kLoadFailed =
    "Unable to load the Mapi32.dll. The message text won't be avaiable.\r\n\r\nError: ";

// The folder of the fake libraries. On Windows the build's own path may not be one the
// program can use (under Wine it is a Linux path), but the libraries sit beside the tests.
std::string FakeFolder() {
#ifdef _WIN32
  const std::string exe = ExecutablePath();
  return exe.substr(0, exe.find_last_of("/\\"));
#else
  return FAKE_MAPI_DIR;
#endif
}

// The fake libraries' files, named by the build (a .so here, a DLL on Windows).
std::string FakeLibrary(const std::string& name) {
  static const std::map<std::string, std::string> kFiles = {
      {"none", FAKE_MAPI_none},   {"no_init", FAKE_MAPI_no_init},       {"no_wrap", FAKE_MAPI_no_wrap},
      {"refuse", FAKE_MAPI_refuse}, {"big", FAKE_MAPI_big}, {"read_fails", FAKE_MAPI_read_fails},
      {"echo", FAKE_MAPI_echo}};
  return FakeFolder() + "/" + kFiles.at(name);
}

#ifdef _WIN32
const char* const kLibrarySuffix = ".dll";

void* OpenLibrary(const std::string& path) {
  return reinterpret_cast<void*>(::LoadLibraryW(std::filesystem::path(path).wstring().c_str()));
}
void CloseLibrary(void* handle) { ::FreeLibrary(static_cast<HMODULE>(handle)); }
void* LibrarySymbol(void* handle, const char* name) {
  return reinterpret_cast<void*>(
      reinterpret_cast<std::uintptr_t>(::GetProcAddress(static_cast<HMODULE>(handle), name)));
}
std::string LibraryError() { return LastErrorText(); }

// Gives the file or folder an access list of its own: the user and the system in full, and
// Everyone reading, or writing too when everyoneWrites. Wine keeps such a list as the
// file's mode bits, which is all the refusals below need.
void SetAccess(const std::string& path, bool everyoneWrites) {
  HANDLE token = nullptr;
  ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token));
  DWORD size = 0;
  ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
  std::vector<std::uint8_t> user(size);
  ASSERT_TRUE(::GetTokenInformation(token, TokenUser, user.data(), size, &size));
  ::CloseHandle(token);
  wchar_t* sid = nullptr;
  ASSERT_TRUE(::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid));
  const std::wstring sddl = std::wstring(L"D:P(A;;FA;;;") + sid + L")(A;;FA;;;SY)" +
                            (everyoneWrites ? L"(A;;FA;;;WD)" : L"(A;;FRFX;;;WD)");
  ::LocalFree(sid);
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                                     nullptr));
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted);
  std::wstring wide = std::filesystem::path(path).wstring();
  EXPECT_EQ(::SetNamedSecurityInfoW(wide.data(), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr,
                                    nullptr, dacl, nullptr),
            static_cast<DWORD>(ERROR_SUCCESS))
      << path;
  ::LocalFree(descriptor);
}
#else
const char* const kLibrarySuffix = ".so";

void* OpenLibrary(const std::string& path) { return ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
void CloseLibrary(void* handle) { ::dlclose(handle); }
void* LibrarySymbol(void* handle, const char* name) { return ::dlsym(handle, name); }
std::string LibraryError() { return ::dlerror(); }
#endif

struct TCounts {
  int Init = 0, Uninit = 0, Wrap = 0, Live = 0;
  bool operator==(const TCounts&) const = default;
};

// Holds its own reference to a fake library, so its counters outlive the fallback's unload.
class TFake {
public:
  explicit TFake(const std::string& name) : FPath(FakeLibrary(name)) {
    FHandle = OpenLibrary(FPath);
    EXPECT_NE(FHandle, nullptr) << LibraryError();
    FStart = Counts();
  }
  ~TFake() {
    if (FHandle) CloseLibrary(FHandle);
  }
  const std::string& Path() const { return FPath; }
  TCounts Counts() const {
    using Fn = void (*)(int*, int*, int*, int*);
    auto fn = reinterpret_cast<Fn>(LibrarySymbol(FHandle, "FakeCounters"));
    TCounts c;
    if (fn) fn(&c.Init, &c.Uninit, &c.Wrap, &c.Live);
    return c;
  }
  // Calls since this object was made.
  TCounts Delta() const {
    const TCounts now = Counts();
    return {now.Init - FStart.Init, now.Uninit - FStart.Uninit, now.Wrap - FStart.Wrap, now.Live};
  }
  template <typename T>
  T Get(const char* name) const {
    return reinterpret_cast<T>(LibrarySymbol(FHandle, name));
  }

private:
  std::string FPath;
  void* FHandle = nullptr;
  TCounts FStart;
};

// A reader over a small message, set to use mapi32Path.
class MapiFallback : public testing::Test {
protected:
  std::unique_ptr<TTNEFReader> Reader(const std::string& mapi32Path) {
    const std::string file = FDir / "winmail.dat";
    tb::TnefBuilder().Subject("s").WriteTo(file);
    return std::make_unique<TTNEFReader>(file, mapi32Path);
  }
  TXdgSandbox FSandbox;
  TTempDir FDir;
  const std::string FValue = tb::Lzfu("{\\rtf1 hello}");
};

TEST_F(MapiFallback, AMissingLibraryGivesTheLoadMessageWithTheSystemText) {
  const std::string missing = FDir / ("no-such-library" + std::string(kLibrarySuffix));
  const std::string text = Reader(missing)->DecompressRTFWithMapi(FValue);
  ASSERT_EQ(text.rfind(kLoadFailed, 0), 0u) << text;
  const std::string reason = text.substr(kLoadFailed.size());
#ifdef _WIN32
  // The system's own words for a missing module, without their closing full stop.
  EXPECT_EQ(reason, SystemErrorText(ERROR_MOD_NOT_FOUND));
#else
  EXPECT_NE(reason.find("no-such-library.so"), std::string::npos) << reason;
#endif
  ASSERT_FALSE(reason.empty());
  EXPECT_NE(reason.back(), '.');
  EXPECT_GT(static_cast<unsigned char>(reason.back()), ' ');
}

TEST_F(MapiFallback, MissingFunctionsGiveAnEmptyBodyWithBalancedCalls) {
  {
    TFake fake("none");
    EXPECT_EQ(Reader(fake.Path())->DecompressRTFWithMapi(FValue), "");
  }
  {
    // Without MAPIInitialize, neither it nor MAPIUninitialize is called.
    TFake fake("no_init");
    EXPECT_EQ(Reader(fake.Path())->DecompressRTFWithMapi(FValue), "");
    EXPECT_EQ(fake.Delta(), (TCounts{0, 0, 0, 0}));
  }
  {
    TFake fake("no_wrap");
    EXPECT_EQ(Reader(fake.Path())->DecompressRTFWithMapi(FValue), "");
    EXPECT_EQ(fake.Delta(), (TCounts{1, 1, 0, 0}));
  }
  {
    TFake fake("refuse");
    EXPECT_EQ(Reader(fake.Path())->DecompressRTFWithMapi(FValue), "");
    EXPECT_EQ(fake.Delta(), (TCounts{1, 1, 1, 0}));
  }
}

TEST_F(MapiFallback, TheLibraryGetsTheWholeValueAndEveryStreamIsReleased) {
  TFake fake("echo");
  const std::string value = tb::RtfValue(5, 0x414C454D, std::string("ab\0cd", 5), 99);
  EXPECT_EQ(Reader(fake.Path())->DecompressRTFWithMapi(value), value);
  std::size_t size = 0;
  const char* seen = fake.Get<const char* (*)(std::size_t*)>("FakeCompressed")(&size);
  EXPECT_EQ(std::string(seen, size), value);
  EXPECT_EQ(fake.Delta(), (TCounts{1, 1, 1, 0}));
}

TEST_F(MapiFallback, LongTextArrivesThroughSeveralReadsWithoutGaps) {
  TFake fake("big");
  const std::string text = Reader(fake.Path())->DecompressRTFWithMapi(FValue);
  std::string expected;
  for (int i = 0; i < 200000; ++i) expected += static_cast<char>('A' + (i * 7) % 26);
  EXPECT_EQ(text, expected);
  EXPECT_EQ(fake.Get<unsigned (*)()>("FakeLargestRead")(), 65535u);
  EXPECT_EQ(fake.Delta(), (TCounts{1, 1, 1, 0}));
}

TEST_F(MapiFallback, AReadThatFailsMidwayKeepsWhatCameBefore) {
  TFake fake("read_fails");
  const std::string text = Reader(fake.Path())->DecompressRTFWithMapi(FValue);
  EXPECT_EQ(text.size(), 2000u);
  EXPECT_EQ(fake.Delta(), (TCounts{1, 1, 1, 0}));
}

// A library named without a folder is never handed to the loader (which would search the
// current folder, where an attachment called Mapi32.dll may have just been saved), nor one
// that other users could have put there or changed.
TEST_F(MapiFallback, OnlyAFullPathToALibraryNobodyElseCanChangeIsLoaded) {
  namespace fs = std::filesystem;
  const std::string folder = FDir / "lib";
  fs::create_directory(folder);
  fs::copy_file(FakeLibrary("echo"), folder + "/Mapi32.dll");
  // Loaded by its full path under another name: Wine puts its own mapi32 in place of any
  // file called so.
  const std::string library = folder + "/fake-mail" + kLibrarySuffix;
  fs::copy_file(FakeLibrary("echo"), library);
  const fs::path cwd = fs::current_path();
  fs::current_path(folder);
  const std::string changeable = "The mail library \"" + library + "\" or its folder can be changed by other users";
  for (const std::string& path : {std::string("Mapi32.dll"), std::string("./Mapi32.dll")})
    EXPECT_EQ(Reader(path)->DecompressRTFWithMapi(FValue),
              kLoadFailed + "The mail library \"" + path + "\" is not named by its full path");
  EXPECT_EQ(Reader("")->DecompressRTFWithMapi(FValue), kLoadFailed + "No mail library is set up");
#ifdef _WIN32
  // Everyone may write to the folder, then to the file.
  SetAccess(folder, true);
  EXPECT_EQ(Reader(library)->DecompressRTFWithMapi(FValue), kLoadFailed + changeable);
  SetAccess(folder, false);
  SetAccess(library, true);
  EXPECT_EQ(Reader(library)->DecompressRTFWithMapi(FValue), kLoadFailed + changeable);
  SetAccess(library, false);
  const auto makeShared = [](const std::string& path) { SetAccess(path, true); };
#else
  struct TCase {
    mode_t FolderMode, FileMode;
  } const cases[] = {{0777, 0644}, {01777, 0644}, {0755, 0664}};
  for (const TCase& c : cases) {
    ::chmod(folder.c_str(), c.FolderMode);
    ::chmod(library.c_str(), c.FileMode);
    EXPECT_EQ(Reader(library)->DecompressRTFWithMapi(FValue), kLoadFailed + changeable)
        << std::oct << c.FolderMode << " " << c.FileMode;
  }
  ::chmod(folder.c_str(), 0755);
  ::chmod(library.c_str(), 0644);
  const auto makeShared = [](const std::string& path) { ::chmod(path.c_str(), 0777); };
#endif
  // A link kept in a folder others can write to is refused even when it points at a
  // library that is safe where it lies (where links can be made: not under Wine).
  const std::string shared = FDir / "shared";
  fs::create_directory(shared);
  if (MakeSymlink(library, shared + "/link" + kLibrarySuffix)) {
    makeShared(shared);
    EXPECT_NE(Reader(shared + "/link" + kLibrarySuffix)->DecompressRTFWithMapi(FValue).find("changed by other users"),
              std::string::npos);
  }
  EXPECT_EQ(Reader(library)->DecompressRTFWithMapi(FValue), FValue);
  fs::current_path(cwd);
}

// Many values the strict decoder refuses: only the last one, which is the body, goes to the
// library, and the library is loaded once per reader and kept while the reader lives.
TEST_F(MapiFallback, OnlyTheWinningValueIsDecodedAndTheLibraryIsLoadedOnce) {
  namespace fs = std::filesystem;
  const auto stored = [](const std::string& rtf) {
    return tb::RtfValue(static_cast<std::uint32_t>(rtf.size()), kCompTypeStored, rtf,
                        static_cast<std::uint32_t>(rtf.size()));
  };
  tb::PropBlock props;
  for (int i = 0; i < 50; ++i) props.Binary(0x1009, stored("{\\rtf1 value " + std::to_string(i) + "}"));
  const std::string file = FDir / "many.dat";
  tb::TnefBuilder().MsgProps(props).WriteTo(file);

  const std::string copy = FDir / ("own-copy" + std::string(kLibrarySuffix));
  fs::copy_file(FakeLibrary("echo"), copy);
  TFake fake("echo");  // the counters, from another file of the same code
  TTNEFReader reader(file, copy);
  EXPECT_EQ(reader.MessageText(), stored("{\\rtf1 value 49}"));
  // Loaded once and kept: the file is no longer needed where it was (a loaded DLL cannot be
  // removed, only moved).
  fs::rename(copy, FDir / "moved");
  EXPECT_EQ(reader.DecompressRTFWithMapi(FValue), FValue);
}

TEST_F(MapiFallback, TheReaderShowsABodyItsOwnDecoderRejectsThroughOurMailLibrary) {
  const std::string rtf = "{\\rtf1\\ansi stored body}";
  // A stored body whose COMPSIZE holds RAWSIZE, as real writers do: the strict decoder
  // refuses it.
  const std::string value = tb::RtfValue(static_cast<std::uint32_t>(rtf.size()), kCompTypeStored, rtf,
                                         static_cast<std::uint32_t>(rtf.size()));
  EXPECT_THROW(DecompressRTF(value), Exception);
  const std::string file = FDir / "stored.dat";
  tb::TnefBuilder().MsgProps(tb::PropBlock().Binary(0x1009, value)).WriteTo(file);

  // Found the way the installed program finds it: on Linux the machine store beside the
  // programs names it, on Windows it sits in the program's own folder.
  SetExecutableFolderForStores(std::string(VELQUIN_BUILD_BIN));
#ifdef _WIN32
  // There it sits in the program's own folder; this test program's folder must stay without
  // one (the helper's tests find none there), so the build's copy is named instead.
  TTNEFReader reader(file, FakeFolder() + "\\maillib\\velquin-mapi.dll");
#else
  TTNEFReader reader(file, "");
  EXPECT_EQ(reader.Mapi32Path(), VELQUIN_MAILLIB);
#endif
  EXPECT_EQ(reader.MessageText(), rtf);
}

}  // namespace
