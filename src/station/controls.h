#pragma once

// Every control of the main window that the station reads or changes, under its own name.
// The Qt object name of each control is this name, so tests and scripts find it by name.

#include <cstdint>
#include <string_view>

namespace qd718 {

// clang-format off
#define QD718_CONTROLS(X)                                                                         \
  /* top panel */                                                                                 \
  X(Panel8) X(Label35) X(TipLbl) X(Label36) X(ModifLbl) X(Label37) X(SerLbl) X(Label38)           \
  X(DiapazLbl) X(Label43) X(ComboBox1) X(ConnBtn) X(DisconnBtn) X(ConnectBtn) X(BitBtn4)          \
  /* pages */                                                                                     \
  X(PageControl1) X(TabSheet1) X(TabSheet2)                                                       \
  /* "Parameters" page */                                                                         \
  X(Panel1) X(Panel3) X(Panel4) X(Label12) X(Label1) X(Label13) X(Label2) X(Label14)              \
  X(Label3) X(Label32) X(Label7) X(Label15) X(Label4) X(Label34) X(Label8) X(Label16)             \
  X(Label6) X(Label28) X(Label29) X(Label66) X(Label9) X(BeginPosEdit) X(BeginPosEdit2)           \
  X(EndPosEdit) X(EndPosEdit2) X(TimeMEdit) X(TimeMEdit1) X(TimeMEdit2) X(TimeMEdit21)            \
  X(DiskrEdit) X(DiskrEdit2) X(AngleEdit) X(AngleEdit2) X(XBegEdit) X(XBegEdit2)                  \
  X(YBegEdit) X(YBegEdit2) X(CyclEdit) X(CyclEdit2) X(ReadBtn) X(WriteBtn) X(RestoreBtn)          \
  X(WriteFlashBtn) X(BitBtn3)                                                                     \
  /* "Profile" page */                                                                            \
  X(Panel2) X(Panel5) X(Chart1) X(Chart2) X(Label19) X(Label10) X(dxEdit1) X(Label21)             \
  X(Label11) X(dxEdit2) X(Label22) X(Label20) X(Label17) X(dxEdit3) X(Label25) X(Label18)         \
  X(dxEdit4) X(Label26) X(CheckBox1) X(cxButton2) X(cxButton3) X(cxButton4) X(CheckBox2)          \
  X(dxEdit6) X(CheckBox5) X(dxEdit7) X(CheckBox3) X(dxEdit5) X(CheckBox4) X(CheckBox6)            \
  X(cxButton5) X(cxButton1) X(EtCheckBox) X(Label31) X(EtalComboBox) X(Button6)                   \
  X(cxButton8)                                                                                    \
  /* bottom */                                                                                    \
  X(CGauge1)

#define QD718_SERIES(X)                                                                           \
  X(Series1) X(Series2) X(Series3) X(Series4) X(Series5) X(Series6) X(Series7) X(Series8) X(Series9) X(Series10)
// clang-format on

#define QD718_ENUM_ENTRY(name) name,
enum class Ctl { QD718_CONTROLS(QD718_ENUM_ENTRY) };
enum class Ser { QD718_SERIES(QD718_ENUM_ENTRY) };
#undef QD718_ENUM_ENTRY

#define QD718_COUNT_ENTRY(name) +1
inline constexpr int ControlCount = 0 QD718_CONTROLS(QD718_COUNT_ENTRY);
inline constexpr int SeriesCount = 0 QD718_SERIES(QD718_COUNT_ENTRY);
#undef QD718_COUNT_ENTRY

constexpr std::string_view ControlName(Ctl control) {
#define QD718_NAME_ENTRY(name) #name,
  constexpr std::string_view names[] = {QD718_CONTROLS(QD718_NAME_ENTRY)};
#undef QD718_NAME_ENTRY
  return names[static_cast<int>(control)];
}

constexpr std::string_view SeriesName(Ser series) {
#define QD718_NAME_ENTRY(name) #name,
  constexpr std::string_view names[] = {QD718_SERIES(QD718_NAME_ENTRY)};
#undef QD718_NAME_ENTRY
  return names[static_cast<int>(series)];
}

// Colours in the toolkit's blue-green-red byte order: 0x00FFFF is yellow.
using Color = std::uint32_t;
inline constexpr Color clBlue = 0xFF0000;
inline constexpr Color clGreen = 0x008000;
inline constexpr Color clYellow = 0x00FFFF;
inline constexpr Color clRed = 0x0000FF;
inline constexpr Color clNavy = 0x800000;
inline constexpr Color clWhite = 0xFFFFFF;

}  // namespace qd718
