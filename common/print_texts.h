// Texts the three print procedures (single chart, multiple charts, history
// list) share, byte for byte. CP932 at run time.
#pragma once

#include "framework/core/str.h"
#include "framework/core/strings.h"

namespace common::text {

using fw::literals::operator""_sj;

// The document name every print job carries in the spooler.
inline constexpr const char* kPrintDocumentName = "PRINTER";

// After a print whose job never reached the spooler (the queue removed, the
// spooler stopped): the skipped printer steps would otherwise pass for a
// successful print. OK button, information icon, titled as the print.
inline const fw::Str kJobNotDelivered =
    "印刷データをプリンターへ送ることができませんでした。"_sj + fw::CRLF +
    "プリンターの電源、接続及び設定を確認して、もう一度印刷して下さい。"_sj;

}  // namespace common::text
