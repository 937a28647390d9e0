// SHA-256 and base64 from the system's own libraries: OpenSSL's libcrypto
// on Linux, Windows' CNG (bcrypt) and CryptoAPI (crypt32) on Windows.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace fw {

// SHA-256 of the pieces in order: 32 bytes. Throws std::bad_alloc when the
// library cannot work at all.
std::string sha256(std::initializer_list<std::string_view> pieces);

// Standard base64 with padding, no line breaks.
std::string base64Encode(std::string_view bytes);
// The bytes `text` encodes, without the padding; nothing when `text` is not
// base64 (length not a multiple of 4, a character outside the alphabet).
std::optional<std::string> base64Decode(std::string_view text);

}  // namespace fw
