// The mail library we ship for systems that have none: exports MAPIInitialize,
// MAPIUninitialize and WrapCompressedRTFStream with the COM stream layout, and decompresses
// with the tolerant decoder. The viewer reaches it through the two machine registry values
// that name it, exactly as it would reach a system's mail library.

#include <atomic>
#include <string>

#include "ByteIStream.h"
#include "MapiAbi.h"
#include "TolerantRtf.h"

#ifdef _WIN32
#define VELQUIN_EXPORT extern "C" __declspec(dllexport)
#else
#define VELQUIN_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

std::atomic<int> gInitializeCount{0};

// The whole compressed stream from its current position, up to what the decoder could
// ever use (the header plus the output bound) so that a stream without end cannot make us
// read forever.
bool ReadAll(mapi::IStream* stream, std::string& out) {
  constexpr mapi::ULONG kBlock = 65536;
  char buffer[kBlock];
  while (out.size() <= maillib::kMaxOutput + 16) {
    mapi::ULONG read = 0;
    const mapi::HRESULT hr = stream->lpVtbl->Read(stream, buffer, kBlock, &read);
    if (hr != mapi::S_OK && hr != mapi::S_FALSE) return false;
    if (read == 0) return true;
    out.append(buffer, read > kBlock ? kBlock : read);
  }
  return true;
}

}  // namespace

VELQUIN_EXPORT mapi::HRESULT MAPIInitialize(void* /*mapiInit*/) {
  ++gInitializeCount;
  return mapi::S_OK;
}

VELQUIN_EXPORT void MAPIUninitialize() {
  if (gInitializeCount > 0) --gInitializeCount;
}

VELQUIN_EXPORT mapi::HRESULT WrapCompressedRTFStream(mapi::IStream* compressed, mapi::ULONG flags,
                                                     mapi::IStream** uncompressed) {
  if (!uncompressed) return mapi::E_INVALIDARG;
  *uncompressed = nullptr;
  if (!compressed) return mapi::E_INVALIDARG;
  // Only reading is offered: compressing a stream back is never asked of us.
  if (flags & mapi::MAPI_MODIFY) return mapi::E_NOTIMPL;
  try {
    std::string value;
    if (!ReadAll(compressed, value)) return mapi::STG_E_READFAULT;
    auto text = maillib::DecompressTolerant(value);
    if (!text) return mapi::E_INVALIDARG;
    *uncompressed = mapi::TByteIStream::Create(std::move(*text));
    return *uncompressed ? mapi::S_OK : mapi::E_OUTOFMEMORY;
  } catch (...) {
    return mapi::E_OUTOFMEMORY;
  }
}
