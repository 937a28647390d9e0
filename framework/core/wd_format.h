// The window-definition byte format, shared by the compiler in tools/ and the
// loader in framework/form.
//
// A definition starts with the 6-byte header "WD", uint16 1, uint16 1. Then
// records: a uint16 operation code and its operands. All integers are
// little-endian (int16 = 2 bytes, int32 = 4 bytes); texts are CP932 ending in
// a 0 byte. Records apply to the object created last in the current list;
// code 1 opens the list of child controls, code 2 closes the current list
// (the outer list ends with 2 as well).
#pragma once

#include <cstdint>

namespace fw::wd {

inline constexpr char kMagic[2] = {'W', 'D'};
inline constexpr uint16_t kVersion = 1;
inline constexpr int kHeaderSize = 6;

enum Op : uint16_t {
  BeginList = 1,      // -
  EndList = 2,        // -
  RegisterClass = 9,  // text name, text icon
  Caption = 11,       // text
  Disabled = 14,      // int16
  Name = 21,          // text, at most 21 bytes
  TextColour = 30,    // int16 palette index
  ForeColour = 31,    // int16 palette index
  BackColourIndex = 32,  // int16 palette index
  ControlTextRgb = 34,   // int32 RGB
  ControlBackRgb = 35,   // int32 RGB
  ScaleMode = 37,     // int16
  RedrawMode = 39,    // int16
  SystemMenuCopy = 61,   // int16
  NoEffect62 = 62,    // 4 x int16
  FontSize = 70,      // int16 points
  FontBold = 71,      // int16
  FontFace = 76,      // text face, int16 charset, int16 pitch-and-family (low byte)
  Events = 80,        // int16 1, {int16 100+event, text procedure}*, int16 2
  CreateObject = 112, // int32 type, int32 style, int32 extended style
  Axis = 124,         // int32
  LimitText = 156,    // int32
  Place = 159,        // int32 placement, x, y, width, height
  ListItems = 172,    // text, items separated by CR LF
  CheckValue = 173,   // int32
  ImeMode = 186,      // int32
  ShowState = 201,    // int32
  NoEffect211 = 211,  // int32
  NoEffect212 = 212,  // int32
  SendMessage = 300,  // int32 message, int32 wparam, int32 lparam
};

inline constexpr int kMaxNameBytes = 21;
inline constexpr int kMaxFaceBytes = 31;
inline constexpr int kMaxProcedureBytes = 28;
inline constexpr int kEventBase = 100;  // event numbers 100..120 in Events records

// Win32 style bits stored in CreateObject records.
namespace style {
inline constexpr uint32_t Visible = 0x10000000;
inline constexpr uint32_t Disabled = 0x08000000;
inline constexpr uint32_t ClipChildren = 0x02000000;
inline constexpr uint32_t Caption = 0x00C00000;
inline constexpr uint32_t Border = 0x00800000;
inline constexpr uint32_t DlgFrame = 0x00400000;
inline constexpr uint32_t VScroll = 0x00200000;
inline constexpr uint32_t HScroll = 0x00100000;
inline constexpr uint32_t SysMenu = 0x00080000;
inline constexpr uint32_t ThickFrame = 0x00040000;
inline constexpr uint32_t MinimizeBox = 0x00020000;
inline constexpr uint32_t MaximizeBox = 0x00010000;
inline constexpr uint32_t TabStop = 0x00010000;   // on controls
inline constexpr uint32_t Child = 0x40000000;
inline constexpr uint32_t Popup = 0x80000000;
// Edit boxes.
inline constexpr uint32_t EsMultiline = 0x0004;
inline constexpr uint32_t EsAutoVScroll = 0x0040;
inline constexpr uint32_t EsAutoHScroll = 0x0080;
inline constexpr uint32_t EsNoHideSel = 0x0100;
inline constexpr uint32_t EsReadOnly = 0x0800;
// List boxes.
inline constexpr uint32_t LbsNotify = 0x0001;
inline constexpr uint32_t LbsMultipleSel = 0x0008;
inline constexpr uint32_t LbsNoIntegralHeight = 0x0100;  // else whole rows only
// Combo boxes.
inline constexpr uint32_t CbsDropDownList = 0x0003;
inline constexpr uint32_t CbsNoIntegralHeight = 0x0400;  // else whole rows only
// Buttons.
inline constexpr uint32_t BsAutoCheckBox = 0x0003;
inline constexpr uint32_t BsAutoRadioButton = 0x0009;
// Labels.
inline constexpr uint32_t SsNotify = 0x0100;
// Extended styles.
inline constexpr uint32_t ExDlgModalFrame = 0x00000001;
inline constexpr uint32_t ExAcceptFiles = 0x00000010;
inline constexpr uint32_t ExClientEdge = 0x00000200;
inline constexpr uint32_t ExTopMost = 0x00000008;
}  // namespace style

}  // namespace fw::wd
