#pragma once
// An IStream (COM layout, see MapiAbi.h) over bytes it owns: the memory stream the program
// hands to a mail library, and the decompressed stream our own mail library hands back.
// Header-only so that the shared mail library can use it without linking our static layers.

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <string>

#include "MapiAbi.h"

namespace mapi {

class TByteIStream : public IStream {
public:
  // A stream at position 0 with one reference; nullptr when memory runs out.
  static IStream* Create(std::string bytes) noexcept {
    try {
      return new TByteIStream(std::move(bytes));
    } catch (...) {
      return nullptr;
    }
  }

private:
  explicit TByteIStream(std::string bytes) : IStream{&kVtbl}, FBytes(std::move(bytes)) {}

  static TByteIStream* Self(IStream* s) { return static_cast<TByteIStream*>(s); }

  static HRESULT QueryInterface(IStream* s, const GUID* riid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!riid) return E_INVALIDARG;
    if (!SameGuid(*riid, IID_IUnknown) && !SameGuid(*riid, IID_ISequentialStream) &&
        !SameGuid(*riid, IID_IStream))
      return E_NOINTERFACE;
    AddRef(s);
    *object = s;
    return S_OK;
  }
  static ULONG AddRef(IStream* s) noexcept { return ++Self(s)->FRefs; }
  static ULONG Release(IStream* s) noexcept {
    const ULONG left = --Self(s)->FRefs;
    if (left == 0) delete Self(s);
    return left;
  }
  static HRESULT Read(IStream* s, void* buffer, ULONG size, ULONG* read) noexcept {
    TByteIStream* self = Self(s);
    if (read) *read = 0;
    if (!buffer && size) return E_POINTER;
    const std::uint64_t available =
        self->FPos < self->FBytes.size() ? self->FBytes.size() - self->FPos : 0;
    const auto n = static_cast<ULONG>(std::min<std::uint64_t>(size, available));
    if (n) std::memcpy(buffer, self->FBytes.data() + self->FPos, n);
    self->FPos += n;
    if (read) *read = n;
    // As a memory stream does: a short read at the end is still a success.
    return S_OK;
  }
  static HRESULT Write(IStream* s, const void* buffer, ULONG size, ULONG* written) noexcept {
    TByteIStream* self = Self(s);
    if (written) *written = 0;
    if (!buffer && size) return E_POINTER;
    try {
      const std::uint64_t end = self->FPos + size;
      if (end > self->FBytes.max_size()) return E_OUTOFMEMORY;
      if (end > self->FBytes.size()) self->FBytes.resize(static_cast<std::size_t>(end));
      if (size) std::memcpy(self->FBytes.data() + self->FPos, buffer, size);
    } catch (...) {
      return E_OUTOFMEMORY;
    }
    self->FPos += size;
    if (written) *written = size;
    return S_OK;
  }
  static HRESULT Seek(IStream* s, std::int64_t move, std::uint32_t origin,
                      std::uint64_t* newPosition) noexcept {
    TByteIStream* self = Self(s);
    std::int64_t base = 0;
    if (origin == STREAM_SEEK_CUR) base = static_cast<std::int64_t>(self->FPos);
    else if (origin == STREAM_SEEK_END) base = static_cast<std::int64_t>(self->FBytes.size());
    else if (origin != STREAM_SEEK_SET) return STG_E_INVALIDFUNCTION;
    if ((move < 0 && base + move < 0) || (move > 0 && base > INT64_MAX - move)) return STG_E_SEEKERROR;
    self->FPos = static_cast<std::uint64_t>(base + move);
    if (newPosition) *newPosition = self->FPos;
    return S_OK;
  }
  static HRESULT SetSize(IStream* s, std::uint64_t newSize) noexcept {
    try {
      if (newSize > Self(s)->FBytes.max_size()) return E_OUTOFMEMORY;
      Self(s)->FBytes.resize(static_cast<std::size_t>(newSize));
      return S_OK;
    } catch (...) {
      return E_OUTOFMEMORY;
    }
  }
  static HRESULT CopyTo(IStream*, IStream*, std::uint64_t, std::uint64_t*, std::uint64_t*) noexcept {
    return E_NOTIMPL;
  }
  static HRESULT Commit(IStream*, std::uint32_t) noexcept { return S_OK; }
  static HRESULT Revert(IStream*) noexcept { return S_OK; }
  static HRESULT LockRegion(IStream*, std::uint64_t, std::uint64_t, std::uint32_t) noexcept {
    return STG_E_INVALIDFUNCTION;
  }
  static HRESULT UnlockRegion(IStream*, std::uint64_t, std::uint64_t, std::uint32_t) noexcept {
    return STG_E_INVALIDFUNCTION;
  }
  static HRESULT Stat(IStream*, void*, std::uint32_t) noexcept { return E_NOTIMPL; }
  static HRESULT Clone(IStream*, IStream** clone) noexcept {
    if (clone) *clone = nullptr;
    return E_NOTIMPL;
  }

  static constexpr IStreamVtbl kVtbl = {QueryInterface, AddRef,   Release,    Read,
                                        Write,          Seek,     SetSize,    CopyTo,
                                        Commit,         Revert,   LockRegion, UnlockRegion,
                                        Stat,           Clone};

  std::atomic<ULONG> FRefs{1};
  std::string FBytes;
  std::uint64_t FPos = 0;
};

}  // namespace mapi
