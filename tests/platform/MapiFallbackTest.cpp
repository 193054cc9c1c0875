// TTNEFReader::DecompressRTFWithMapi against small mail libraries of our own that export
// none, some or all of the three functions and misbehave in chosen ways.

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "CompressedRtf.h"
#include "Exception.h"
#include "TNEFReaderClass.h"
#include "TempDir.h"
#include "TnefBuilder.h"
#include "XdgSandbox.h"

namespace {

const std::string kLoadFailed =
    "Unable to load the Mapi32.dll. The message text won't be avaiable.\r\n\r\nError: ";

std::string FakeLibrary(const std::string& name) {
  return std::string(FAKE_MAPI_DIR) + "/libfake_mapi_" + name + ".so";
}

struct TCounts {
  int Init = 0, Uninit = 0, Wrap = 0, Live = 0;
  bool operator==(const TCounts&) const = default;
};

// Holds its own reference to a fake library, so its counters outlive the fallback's unload.
class TFake {
public:
  explicit TFake(const std::string& name) : FPath(FakeLibrary(name)) {
    FHandle = ::dlopen(FPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(FHandle, nullptr) << ::dlerror();
    FStart = Counts();
  }
  ~TFake() {
    if (FHandle) ::dlclose(FHandle);
  }
  const std::string& Path() const { return FPath; }
  TCounts Counts() const {
    using Fn = void (*)(int*, int*, int*, int*);
    auto fn = reinterpret_cast<Fn>(::dlsym(FHandle, "FakeCounters"));
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
    return reinterpret_cast<T>(::dlsym(FHandle, name));
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
  const std::string missing = FDir / "no-such-library.so";
  const std::string text = Reader(missing)->DecompressRTFWithMapi(FValue);
  ASSERT_EQ(text.rfind(kLoadFailed, 0), 0u) << text;
  const std::string reason = text.substr(kLoadFailed.size());
  EXPECT_NE(reason.find("no-such-library.so"), std::string::npos) << reason;
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
  const fs::path cwd = fs::current_path();
  fs::current_path(folder);
  struct TCase {
    std::string Path;
    mode_t FolderMode, FileMode;
    std::string Reason;
  } const cases[] = {
      {"Mapi32.dll", 0755, 0644, "The mail library \"Mapi32.dll\" is not named by its full path"},
      {"./Mapi32.dll", 0755, 0644, "The mail library \"./Mapi32.dll\" is not named by its full path"},
      {"", 0755, 0644, "No mail library is set up"},
      {folder + "/Mapi32.dll", 0777, 0644,
       "The mail library \"" + folder + "/Mapi32.dll\" or its folder can be changed by other users"},
      {folder + "/Mapi32.dll", 01777, 0644,
       "The mail library \"" + folder + "/Mapi32.dll\" or its folder can be changed by other users"},
      {folder + "/Mapi32.dll", 0755, 0664,
       "The mail library \"" + folder + "/Mapi32.dll\" or its folder can be changed by other users"},
  };
  for (const TCase& c : cases) {
    ::chmod(folder.c_str(), c.FolderMode);
    ::chmod((folder + "/Mapi32.dll").c_str(), c.FileMode);
    EXPECT_EQ(Reader(c.Path)->DecompressRTFWithMapi(FValue), kLoadFailed + c.Reason) << c.Path;
  }
  // A link kept in a folder others can write to is refused even when it points at a
  // library that is safe where it lies.
  const std::string shared = FDir / "shared";
  fs::create_directory(shared);
  ::chmod(folder.c_str(), 0755);
  ::chmod((folder + "/Mapi32.dll").c_str(), 0644);
  fs::create_symlink(folder + "/Mapi32.dll", shared + "/link.so");
  ::chmod(shared.c_str(), 0777);
  EXPECT_NE(Reader(shared + "/link.so")->DecompressRTFWithMapi(FValue).find("changed by other users"),
            std::string::npos);
  EXPECT_EQ(Reader(folder + "/Mapi32.dll")->DecompressRTFWithMapi(FValue), FValue);
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

  const std::string copy = FDir / "own-copy.so";
  fs::copy_file(FakeLibrary("echo"), copy);
  TFake fake("echo");  // the counters, from another file of the same code
  TTNEFReader reader(file, copy);
  EXPECT_EQ(reader.MessageText(), stored("{\\rtf1 value 49}"));
  fs::remove(copy);  // loaded once and kept: the file is no longer needed
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

  // Found the way the installed program finds it: the machine store beside the programs.
  SetExecutableFolderForStores(std::string(VELQUIN_BUILD_BIN));
  TTNEFReader reader(file, "");
  EXPECT_EQ(reader.Mapi32Path(), VELQUIN_MAILLIB);
  EXPECT_EQ(reader.MessageText(), rtf);
}

}  // namespace
