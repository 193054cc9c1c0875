// The message body through the system mail library, for a compressed-RTF value that the
// program's own decoder refused.
//
// COM needs no initialisation on Linux (our layer reports success and has nothing to undo),
// so the only pairs to balance are the library load/unload, MAPIInitialize/MAPIUninitialize
// and the references of the two streams. Each is held by an object below, declared in the
// order the steps happen, so every path out of the function undoes them in reverse order.

#include <vector>

#include "ByteIStream.h"
#include "CompressedRtf.h"
#include "DynamicLibrary.h"
#include "Exception.h"
#include "MapiAbi.h"
#include "TNEFReaderClass.h"
#include "TNEFReaderConst.h"
#include "TrustedLibrary.h"

namespace {

// The read loop's buffer.
constexpr mapi::ULONG kReadBlock = 65535;
// The system's error text is shown in place of the body; like the system message table's
// texts it is kept to 256 characters.
constexpr std::size_t kMaxErrorText = 256;

std::string ErrorText(std::string text) {
  if (text.size() > kMaxErrorText) text.resize(kMaxErrorText);
  while (!text.empty() && (static_cast<unsigned char>(text.back()) <= ' ' || text.back() == '.'))
    text.pop_back();
  return text;
}

// Calls MAPIUninitialize when it goes.
class TMapiSession {
public:
  explicit TMapiSession(mapi::MAPIUninitializeFn uninitialize) : FUninitialize(uninitialize) {}
  ~TMapiSession() { FUninitialize(); }
  TMapiSession(const TMapiSession&) = delete;
  TMapiSession& operator=(const TMapiSession&) = delete;

private:
  mapi::MAPIUninitializeFn FUninitialize;
};

// One reference to a COM stream, released when it goes.
class TStreamRef {
public:
  explicit TStreamRef(mapi::IStream* stream = nullptr) : FStream(stream) {}
  ~TStreamRef() {
    if (FStream) FStream->lpVtbl->Release(FStream);
  }
  TStreamRef(const TStreamRef&) = delete;
  TStreamRef& operator=(const TStreamRef&) = delete;
  mapi::IStream* Get() const { return FStream; }

private:
  mapi::IStream* FStream;
};

template <typename Fn>
Fn Lookup(const TDynamicLibrary& library, const char* name) {
  return reinterpret_cast<Fn>(library.Symbol(name));
}

}  // namespace

const TDynamicLibrary* TTNEFReader::MailLibrary() const {
  if (!FMailLibraryTried) {
    FMailLibraryTried = true;
    // A name without a folder would make the loader search for it, and the current folder
    // may be where an attachment called Mapi32.dll was just saved.
    FMailLibraryError = TrustedLibraryRefusal(FMapi32Path);
    if (FMailLibraryError.empty() && !FMailLibrary.Load(FMapi32Path))
      FMailLibraryError = FMailLibrary.LastError();
  }
  return FMailLibrary.Loaded() ? &FMailLibrary : nullptr;
}

std::string TTNEFReader::DecompressRTFWithMapi(const std::string& data) const {
  try {
    const TDynamicLibrary* loaded = MailLibrary();
    if (!loaded) return LoadResString(TStringId::MapiLoadFailed) + ErrorText(FMailLibraryError);
    const TDynamicLibrary& library = *loaded;

    const auto initialize = Lookup<mapi::MAPIInitializeFn>(library, "MAPIInitialize");
    const auto uninitialize = Lookup<mapi::MAPIUninitializeFn>(library, "MAPIUninitialize");
    if (!initialize || !uninitialize) return "";
    initialize(nullptr);  // its result is not tested: a failed start shows in the wrap
    TMapiSession session(uninitialize);

    const auto wrap = Lookup<mapi::WrapCompressedRTFStreamFn>(library, "WrapCompressedRTFStream");
    if (!wrap) return "";

    TStreamRef memory(mapi::TByteIStream::Create(data));
    if (!memory.Get()) throw std::bad_alloc();
    mapi::IStream* decompressedRaw = nullptr;
    // Flags 0: read-only and decompressing.
    if (wrap(memory.Get(), 0, &decompressedRaw) != mapi::S_OK) return "";
    TStreamRef decompressed(decompressedRaw);
    if (!decompressed.Get()) return "";

    std::string result;
    std::vector<char> buffer(kReadBlock);
    while (true) {
      mapi::ULONG read = 0;
      const mapi::HRESULT hr =
          decompressed.Get()->lpVtbl->Read(decompressed.Get(), buffer.data(), kReadBlock, &read);
      // A failed Read ends the loop and keeps what arrived before it.
      if (hr != mapi::S_OK || read == 0) break;
      // The library is outside code: never trust it to stay within the buffer we gave, nor
      // to stop producing text.
      if (read > kReadBlock) read = kReadBlock;
      if (result.size() + read > kMaxRtfRawSize)
        throw Exception(FormatRes(TStringId::MapiTooMuchText, {Arg(kMaxRtfRawSize)}));
      result.append(buffer.data(), read);
    }
    return result;
  } catch (const std::exception& e) {
    return LoadResString(TStringId::MapiMessageTextFailed) + e.what();
  } catch (...) {
    return LoadResString(TStringId::MapiMessageTextFailed);
  }
}
