#pragma once

// The main window as it starts: the default texts, the checked boxes, and the controls that
// start hidden or disabled. Every other control starts shown, enabled, empty and unchecked.
// The windows that keep controls in memory (qd718's and the tests') start from this.

#include <array>
#include <string_view>
#include <utility>

#include "station/controls.h"

namespace qd718 {

inline constexpr std::string_view StartTitle = "QD718";

inline constexpr std::array<std::pair<Ctl, std::string_view>, 11> StartTexts = {{
    {Ctl::TipLbl, "non"},
    {Ctl::ModifLbl, "non"},
    {Ctl::SerLbl, "non"},
    {Ctl::DiapazLbl, "non"},
    {Ctl::ComboBox1, "COM1"},
    {Ctl::ConnBtn, "Connect"},
    {Ctl::DisconnBtn, "DisconnBtn"},
    {Ctl::ConnectBtn, "Parameters"},
    {Ctl::dxEdit5, "51"},  // median window
    {Ctl::dxEdit6, "9"},   // moving-average window
    {Ctl::dxEdit7, "9"},   // recursive smoothing factor
}};

inline constexpr std::array<Ctl, 4> StartChecked = {Ctl::CheckBox1, Ctl::CheckBox3, Ctl::CheckBox4,
                                                    Ctl::CheckBox6};

inline constexpr std::array<Ctl, 30> StartHidden = {
    Ctl::DisconnBtn, Ctl::WriteFlashBtn, Ctl::BitBtn3,    Ctl::Label34,      Ctl::Label8,
    Ctl::Label16,    Ctl::Label6,        Ctl::Label28,    Ctl::Label29,      Ctl::Label66,
    Ctl::Label9,     Ctl::AngleEdit,     Ctl::AngleEdit2, Ctl::XBegEdit,     Ctl::XBegEdit2,
    Ctl::YBegEdit,   Ctl::YBegEdit2,     Ctl::CyclEdit,   Ctl::CyclEdit2,    Ctl::CheckBox2,
    Ctl::dxEdit6,    Ctl::CheckBox5,     Ctl::dxEdit7,    Ctl::CheckBox3,    Ctl::dxEdit5,
    Ctl::CheckBox6,  Ctl::cxButton1,     Ctl::Label31,    Ctl::EtalComboBox, Ctl::cxButton8};

inline constexpr std::array<Ctl, 3> StartDisabled = {Ctl::ConnectBtn, Ctl::cxButton3,
                                                     Ctl::EtalComboBox};

}  // namespace qd718
