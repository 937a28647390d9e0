#include <openssl/evp.h>

#include <new>
#include <vector>

#include "framework/core/digest.h"

namespace fw {

std::string sha256(std::initializer_list<std::string_view> pieces) {
  EVP_MD_CTX* context = EVP_MD_CTX_new();
  if (!context) throw std::bad_alloc();
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  bool ok = EVP_DigestInit_ex(context, EVP_sha256(), nullptr) == 1;
  for (std::string_view piece : pieces) {
    ok = ok && EVP_DigestUpdate(context, piece.data(), piece.size()) == 1;
  }
  ok = ok && EVP_DigestFinal_ex(context, digest, &length) == 1;
  EVP_MD_CTX_free(context);
  // The library fails only when it cannot work at all (no memory).
  if (!ok) throw std::bad_alloc();
  return std::string(reinterpret_cast<const char*>(digest), length);
}

std::string base64Encode(std::string_view bytes) {
  std::vector<unsigned char> text(4 * ((bytes.size() + 2) / 3) + 1);
  const int n = EVP_EncodeBlock(text.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                static_cast<int>(bytes.size()));
  return std::string(reinterpret_cast<const char*>(text.data()), static_cast<std::size_t>(n));
}

std::optional<std::string> base64Decode(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::vector<unsigned char> bytes(text.size() / 4 * 3 + 1);
  const int n = EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                static_cast<int>(text.size()));
  if (n < 0) return std::nullopt;
  // The decoder counts the padding as zero bytes.
  std::size_t used = static_cast<std::size_t>(n);
  if (text.size() >= 1 && text.back() == '=') --used;
  if (text.size() >= 2 && text[text.size() - 2] == '=') --used;
  return std::string(reinterpret_cast<const char*>(bytes.data()), used);
}

}  // namespace fw
