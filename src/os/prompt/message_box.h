#pragma once
// Message-box styles, numbered as Windows numbers them: one button set, one icon and one
// default button, or-ed together (MB_YESNO | MB_ICONQUESTION). The results are the IDOK..IDNO
// of os/ui/messages.h.

#include <vector>

#include "os/ui/messages.h"

namespace os {

// Button sets
inline constexpr UINT MB_OK = 0x00000000;
inline constexpr UINT MB_OKCANCEL = 0x00000001;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
inline constexpr UINT MB_YESNOCANCEL = 0x00000003;
inline constexpr UINT MB_YESNO = 0x00000004;
inline constexpr UINT MB_RETRYCANCEL = 0x00000005;
inline constexpr UINT MB_TYPEMASK = 0x0000000F;

// Icons
inline constexpr UINT MB_ICONERROR = 0x00000010;  // also MB_ICONHAND, MB_ICONSTOP
inline constexpr UINT MB_ICONQUESTION = 0x00000020;
inline constexpr UINT MB_ICONWARNING = 0x00000030;      // also MB_ICONEXCLAMATION
inline constexpr UINT MB_ICONINFORMATION = 0x00000040;  // also MB_ICONASTERISK
inline constexpr UINT MB_ICONMASK = 0x000000F0;

// Default button
inline constexpr UINT MB_DEFBUTTON1 = 0x00000000;
inline constexpr UINT MB_DEFBUTTON2 = 0x00000100;
inline constexpr UINT MB_DEFBUTTON3 = 0x00000200;
inline constexpr UINT MB_DEFMASK = 0x00000F00;

// The results a box of this style can give, in button order (MB_YESNO: IDYES, IDNO).
std::vector<int> MessageBoxResults(UINT style);

}  // namespace os
