#pragma once
// The binary interface between the program and a mail library: the three MAPI functions it
// calls and the COM IStream object layout they exchange (a pointer to a table of function
// pointers, in the slot order of IUnknown, ISequentialStream and IStream). Plain C types
// only, so that a library written in any language can implement it.

#include <cstdint>

namespace mapi {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT STG_E_INVALIDFUNCTION = static_cast<HRESULT>(0x80030001u);
inline constexpr HRESULT STG_E_READFAULT = static_cast<HRESULT>(0x8003001Eu);
inline constexpr HRESULT STG_E_SEEKERROR = static_cast<HRESULT>(0x80030019u);

// Seek origins.
inline constexpr std::uint32_t STREAM_SEEK_SET = 0;
inline constexpr std::uint32_t STREAM_SEEK_CUR = 1;
inline constexpr std::uint32_t STREAM_SEEK_END = 2;

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};

inline bool SameGuid(const GUID& a, const GUID& b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}

inline constexpr GUID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID IID_ISequentialStream = {0x0c733a30, 0x2a1c, 0x11ce,
                                               {0xad, 0xe5, 0x00, 0xaa, 0x00, 0x44, 0x77, 0x3d}};
inline constexpr GUID IID_IStream = {0x0000000c, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct IStream;

struct IStreamVtbl {
  // IUnknown
  HRESULT (*QueryInterface)(IStream* self, const GUID* riid, void** object);
  ULONG (*AddRef)(IStream* self);
  ULONG (*Release)(IStream* self);
  // ISequentialStream
  HRESULT (*Read)(IStream* self, void* buffer, ULONG size, ULONG* read);
  HRESULT (*Write)(IStream* self, const void* buffer, ULONG size, ULONG* written);
  // IStream
  HRESULT (*Seek)(IStream* self, std::int64_t move, std::uint32_t origin, std::uint64_t* newPosition);
  HRESULT (*SetSize)(IStream* self, std::uint64_t newSize);
  HRESULT (*CopyTo)(IStream* self, IStream* target, std::uint64_t size, std::uint64_t* read,
                    std::uint64_t* written);
  HRESULT (*Commit)(IStream* self, std::uint32_t flags);
  HRESULT (*Revert)(IStream* self);
  HRESULT (*LockRegion)(IStream* self, std::uint64_t offset, std::uint64_t size, std::uint32_t type);
  HRESULT (*UnlockRegion)(IStream* self, std::uint64_t offset, std::uint64_t size, std::uint32_t type);
  HRESULT (*Stat)(IStream* self, void* statstg, std::uint32_t flags);
  HRESULT (*Clone)(IStream* self, IStream** clone);
};

// Every COM object starts with the pointer to its function table.
struct IStream {
  const IStreamVtbl* lpVtbl;
};

// The exported functions, looked up by these names.
using MAPIInitializeFn = HRESULT (*)(void* mapiInit);
using MAPIUninitializeFn = void (*)();
using WrapCompressedRTFStreamFn = HRESULT (*)(IStream* compressed, ULONG flags, IStream** uncompressed);

// Flags of WrapCompressedRTFStream; 0 asks for a read-only, decompressing stream.
inline constexpr ULONG MAPI_MODIFY = 0x00000001;
inline constexpr ULONG STORE_UNCOMPRESSED_RTF = 0x00008000;

}  // namespace mapi
