// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Resource paths of every picture the windows use. The pictures themselves are
// drawn by tools/artwork/ and committed under resources/img/; they are compiled
// into the program through resources/sentalia.qrc (prefix "/img").
namespace Artwork {

// Frame pieces shared by the skinned dialogs (bitmaps unless said otherwise).
inline constexpr const char *CornerTopLeft = ":/img/corner_top_left.bmp";         // 16 x 41
inline constexpr const char *TitleStrip = ":/img/title_strip.bmp";                // 222 x 41, light-blue band
inline constexpr const char *CornerTopRight = ":/img/corner_top_right.bmp";       // 16 x 41
inline constexpr const char *BorderLeft = ":/img/border_left.bmp";                // 3 x 140
inline constexpr const char *BorderRight = ":/img/border_right.bmp";              // 3 x 140
inline constexpr const char *CornerBottomLeft = ":/img/corner_bottom_left.bmp";   // 16 x 21
inline constexpr const char *BottomStrip = ":/img/bottom_strip.bmp";              // 228 x 21
inline constexpr const char *CornerBottomRight = ":/img/corner_bottom_right.bmp"; // 16 x 21
inline constexpr const char *Backdrop = ":/img/backdrop.gif";                     // 450 x 294 parchment
inline constexpr const char *ClosePicture = ":/img/close.ico";                    // 32, 48 and 16 px images

// Window icons (32 x 32 and 16 x 16 images each).
inline constexpr const char *IconMain = ":/img/icon_main.ico";       // main window and about box
inline constexpr const char *IconSearch = ":/img/icon_search.ico";   // frmver
inline constexpr const char *IconNewQuote = ":/img/icon_new.ico";    // frmnuevo
inline constexpr const char *IconUser = ":/img/icon_user.ico";       // user
inline constexpr const char *HelpBadge = ":/img/help_badge.gif";     // frmtemas, 32 x 35, in place of the icon slot

// Results window.
inline constexpr const char *BannerLeft = ":/img/banner_left.bmp";     // 43 x 47
inline constexpr const char *BannerMiddle = ":/img/banner_middle.bmp"; // 360 x 47, also the tool bar background
inline constexpr const char *BannerRight = ":/img/banner_right.bmp";   // 43 x 47
inline constexpr const char *ToolNew = ":/img/tool_new.gif";           // 36 x 40 blank page
inline constexpr const char *ToolPrint = ":/img/tool_print.gif";       // 40 x 40 printer
inline constexpr const char *ToolPrintHot = ":/img/tool_print_hot.gif";// 40 x 40 highlighted printer, in colour
inline constexpr const char *ToolSearch = ":/img/tool_search.gif";     // 36 x 40 magnifier
inline constexpr const char *ToolClose = ":/img/tool_close.gif";       // 32 x 35 red cross
inline constexpr const char *CounterLeft = ":/img/counter_left.bmp";   // 62 x 47
inline constexpr const char *CounterMiddle = ":/img/counter_middle.bmp"; // 221 x 47
inline constexpr const char *CounterRight = ":/img/counter_right.bmp"; // 62 x 47
inline constexpr const char *Parchment = ":/img/parchment.bmp";        // 707 x 527
inline constexpr const char *Background = ":/img/background.bmp";      // 1024 x 768, program name pattern and logo

// Message dialog icons.
inline constexpr const char *BubbleQuestion = ":/img/bubble_question.gif"; // 36 x 36
inline constexpr const char *BubbleInfo = ":/img/bubble_info.gif";         // 34 x 34
inline constexpr const char *WavingHand = ":/img/waving_hand.gif";         // 37 x 46

// Splash screen.
inline constexpr const char *SplashFrame = ":/img/splash_frame.gif";   // 275 x 224, light-blue frame, black interior
inline constexpr const char *SplashDecoration = ":/img/splash_deco.gif"; // 30 x 30

// About box.
inline constexpr const char *AboutPicture = ":/img/about_picture.gif";   // 456 x 412, Image1 of the author panel
inline constexpr const char *AboutPanelBack = ":/img/about_panel.gif";  // 198 x 165, Image14 behind the panel's texts

// Mouse pointers (32 x 32 PNG; hot spot given beside each).
inline constexpr const char *CursorHand = ":/img/cursor_hand.png";        // hot spot 10, 2
inline constexpr const char *CursorYellowArrow = ":/img/cursor_arrow.png"; // hot spot 2, 2
inline constexpr int CursorHandHotX = 10, CursorHandHotY = 2;
inline constexpr int CursorArrowHotX = 2, CursorArrowHotY = 2;

} // namespace Artwork
