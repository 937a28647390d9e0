// clang-format off
#include <windows.h>
#include <bcrypt.h>
#include <wincrypt.h>
// clang-format on

#include <new>

#include "framework/core/digest.h"

namespace fw {

std::string sha256(std::initializer_list<std::string_view> pieces) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0)))
    throw std::bad_alloc();
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!BCRYPT_SUCCESS(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0))) {
    BCryptCloseAlgorithmProvider(algorithm, 0);
    throw std::bad_alloc();
  }
  bool ok = true;
  for (std::string_view piece : pieces) {
    ok = ok && BCRYPT_SUCCESS(BCryptHashData(
                   hash, reinterpret_cast<PUCHAR>(const_cast<char*>(piece.data())),
                   static_cast<ULONG>(piece.size()), 0));
  }
  std::string digest(32, '\0');
  ok = ok && BCRYPT_SUCCESS(BCryptFinishHash(hash, reinterpret_cast<PUCHAR>(digest.data()),
                                             static_cast<ULONG>(digest.size()), 0));
  BCryptDestroyHash(hash);
  BCryptCloseAlgorithmProvider(algorithm, 0);
  if (!ok) throw std::bad_alloc();
  return digest;
}

std::string base64Encode(std::string_view bytes) {
  if (bytes.empty()) return {};
  const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
  const auto* data = reinterpret_cast<const BYTE*>(bytes.data());
  DWORD length = 0;
  if (!CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), flags, nullptr, &length))
    throw std::bad_alloc();
  std::string text(length, '\0');
  if (!CryptBinaryToStringA(data, static_cast<DWORD>(bytes.size()), flags, text.data(), &length))
    throw std::bad_alloc();
  text.resize(length);  // without the terminating zero
  return text;
}

std::optional<std::string> base64Decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  if (text.empty()) return std::string();
  DWORD length = 0;
  if (!CryptStringToBinaryA(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                            nullptr, &length, nullptr, nullptr))
    return std::nullopt;
  std::string bytes(length, '\0');
  if (!CryptStringToBinaryA(text.data(), static_cast<DWORD>(text.size()), CRYPT_STRING_BASE64,
                            reinterpret_cast<BYTE*>(bytes.data()), &length, nullptr, nullptr))
    return std::nullopt;
  bytes.resize(length);
  return bytes;
}

}  // namespace fw
