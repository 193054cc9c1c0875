// A mail library for tests, built several times with different exports and behaviour:
//   FAKE_INIT / FAKE_UNINIT / FAKE_WRAP: whether MAPIInitialize, MAPIUninitialize and
//   WrapCompressedRTFStream are exported;
//   FAKE_MODE 0: the decompressed stream gives back the compressed bytes unchanged;
//             1: WrapCompressedRTFStream refuses;
//             2: 200000 bytes of text, as many as each Read asks for;
//             3: 1000 bytes per Read, then a Read that fails.
// FakeCounters tells the test how often each function ran and how many streams live.

#include <cstring>
#include <string>

#include "MapiAbi.h"

using namespace mapi;

namespace {

int gInitCalls = 0;
int gUninitCalls = 0;
int gWrapCalls = 0;
int gLiveStreams = 0;
int gReadCalls = 0;
unsigned gLargestRead = 0;
std::string gCompressed;

struct TFakeStream : IStream {
  ULONG Refs = 1;
  std::string Data;
  std::size_t Pos = 0;
  IStream* Source = nullptr;  // held like a real wrapper holds the compressed stream
};

TFakeStream* Self(IStream* s) { return static_cast<TFakeStream*>(s); }

HRESULT QueryInterface(IStream*, const GUID*, void** object) {
  if (object) *object = nullptr;
  return E_NOINTERFACE;
}
ULONG AddRef(IStream* s) { return ++Self(s)->Refs; }
ULONG Release(IStream* s) {
  const ULONG left = --Self(s)->Refs;
  if (left == 0) {
    if (Self(s)->Source) Self(s)->Source->lpVtbl->Release(Self(s)->Source);
    delete Self(s);
    --gLiveStreams;
  }
  return left;
}
HRESULT Read(IStream* s, void* buffer, ULONG size, ULONG* read) {
  TFakeStream* self = Self(s);
  ++gReadCalls;
  if (size > gLargestRead) gLargestRead = size;
  if (FAKE_MODE == 3 && gReadCalls == 3) {
    *read = 500;  // a failing call's bytes must not count
    return E_FAIL;
  }
  std::size_t n = self->Data.size() - self->Pos;
  if (n > size) n = size;
  if (FAKE_MODE == 3 && n > 1000) n = 1000;
  std::memcpy(buffer, self->Data.data() + self->Pos, n);
  self->Pos += n;
  *read = static_cast<ULONG>(n);
  return S_OK;
}
HRESULT NotImpl() { return E_NOTIMPL; }
HRESULT Write(IStream*, const void*, ULONG, ULONG*) { return NotImpl(); }
HRESULT Seek(IStream*, std::int64_t, std::uint32_t, std::uint64_t*) { return NotImpl(); }
HRESULT SetSize(IStream*, std::uint64_t) { return NotImpl(); }
HRESULT CopyTo(IStream*, IStream*, std::uint64_t, std::uint64_t*, std::uint64_t*) { return NotImpl(); }
HRESULT Commit(IStream*, std::uint32_t) { return NotImpl(); }
HRESULT Revert(IStream*) { return NotImpl(); }
HRESULT Region(IStream*, std::uint64_t, std::uint64_t, std::uint32_t) { return NotImpl(); }
HRESULT Stat(IStream*, void*, std::uint32_t) { return NotImpl(); }
HRESULT Clone(IStream*, IStream**) { return NotImpl(); }

const IStreamVtbl kVtbl = {QueryInterface, AddRef, Release, Read,   Write,  Seek,  SetSize,
                           CopyTo,         Commit, Revert,  Region, Region, Stat,  Clone};

}  // namespace

extern "C" void FakeCounters(int* init, int* uninit, int* wrap, int* live) {
  *init = gInitCalls;
  *uninit = gUninitCalls;
  *wrap = gWrapCalls;
  *live = gLiveStreams;
}
extern "C" unsigned FakeLargestRead() { return gLargestRead; }
extern "C" const char* FakeCompressed(std::size_t* size) {
  *size = gCompressed.size();
  return gCompressed.data();
}

#if FAKE_INIT
extern "C" HRESULT MAPIInitialize(void*) {
  ++gInitCalls;
  return S_OK;
}
#endif

#if FAKE_UNINIT
extern "C" void MAPIUninitialize() { ++gUninitCalls; }
#endif

#if FAKE_WRAP
extern "C" HRESULT WrapCompressedRTFStream(IStream* compressed, ULONG flags, IStream** out) {
  ++gWrapCalls;
  *out = nullptr;
  if (FAKE_MODE == 1 || flags != 0) return E_FAIL;
  // Everything the caller handed over, read the way a wrapper reads it.
  gCompressed.clear();
  char block[100];
  ULONG n = 0;
  while (compressed->lpVtbl->Read(compressed, block, sizeof block, &n) == S_OK && n > 0)
    gCompressed.append(block, n);

  auto* stream = new TFakeStream;
  stream->lpVtbl = &kVtbl;
  stream->Source = compressed;
  compressed->lpVtbl->AddRef(compressed);
  if (FAKE_MODE == 0) stream->Data = gCompressed;
  else
    for (int i = 0; i < 200000; ++i) stream->Data += static_cast<char>('A' + (i * 7) % 26);
  ++gLiveStreams;
  gReadCalls = 0;
  *out = stream;
  return S_OK;
}
#endif
