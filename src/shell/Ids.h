#pragma once
// The names the editor's parts share: the control indices with a role, the menu commands,
// the colours, the application title and references to the controls.
#include <cstdint>

#include "platform/Form.h"

namespace veltrano {

using platform::ControlRef;
using platform::MenuHandle;

// The application title: window caption and the help document's name.
inline constexpr const char* kAppTitle = "Veltrano";
inline constexpr std::int32_t kCommandIdBase = 500;

// Control indices with a role of their own, and references to controls by index.
namespace ctl {
inline constexpr int kVoiceList = 100;     // lsb
inline constexpr int kFileList = 300;      // lsb
inline constexpr int kHeaderCtrl = 10;     // lbl
inline constexpr int kHeaderParam = 11;    // lbl
inline constexpr int kHeaderDepth = 12;    // lbl
inline constexpr int kSearchMarker = 13;   // lbl
inline constexpr int kMultiSelect = 331;   // chk
inline constexpr int kWrite = 334;         // chk
inline constexpr int kMatrixToVoice = 332; // opt
inline constexpr int kVoiceToMatrix = 333; // opt
inline constexpr int kAll = 335;           // cmd
inline constexpr int kStore = 16;          // cmd
inline constexpr int kPicture = 340;       // img
inline constexpr int kStoreList = 110;     // cmb
inline constexpr int kCtrlBox = 200;       // cmb 200..215
inline constexpr int kParamBox = 230;      // cmb 230..245
inline constexpr int kDepthBox = 250;      // cmb 250..265
inline constexpr int kRowLabel = 270;      // lbl 270..285
inline constexpr int kDialog = 50;         // cd

constexpr ControlRef lsb(int i) {
    return {platform::Array::lsb, i};
}
constexpr ControlRef lbl(int i) {
    return {platform::Array::lbl, i};
}
constexpr ControlRef chk(int i) {
    return {platform::Array::chk, i};
}
constexpr ControlRef opt(int i) {
    return {platform::Array::opt, i};
}
constexpr ControlRef cmdb(int i) {
    return {platform::Array::cmd, i};
}
constexpr ControlRef img(int i) {
    return {platform::Array::img, i};
}
constexpr ControlRef cmb(int i) {
    return {platform::Array::cmb, i};
}
} // namespace ctl

// Menu commands.
namespace cmd {
inline constexpr int kSelectAnsDirectory = 502;
inline constexpr int kSelectAn1Directory = 503;
inline constexpr int kOpenMatrixCollection = 504;
inline constexpr int kSaveMatrixCollection = 507;
inline constexpr int kSearchController = 509;
inline constexpr int kSearchParameter = 510;
inline constexpr int kReplaceController = 511;
inline constexpr int kReplaceParameter = 512;
inline constexpr int kCopySelectedVoices = 513;
inline constexpr int kVoiceNameReport = 515;
inline constexpr int kShowHelp = 517;
inline constexpr int kOpenWebPage = 518;
inline constexpr int kSaveVoiceFileAs = 520;
inline constexpr int kUndo = 521;
inline constexpr int kRedo = 522;
inline constexpr int kSaveVoiceFile = 523;
inline constexpr int kWriteMatrixIntoFiles = 524;
inline constexpr int kOpenVoiceFile = 525;
inline constexpr int kRenameValue = 530;
inline constexpr int kUseShippedNames = 531;
inline constexpr int kRecentFiles = 526; // the submenu
inline constexpr int kRecentFirst = 540; // its items, newest first, to 547
inline constexpr int kRecentEmpty = 548; // the greyed item of an empty list
} // namespace cmd

// Colours the program uses.
namespace colour {
inline constexpr platform::Color kFace = platform::Rgb(3, 3, 3);
inline constexpr platform::Color kYellow = platform::Rgb(255, 255, 0);
inline constexpr platform::Color kGrey = platform::Rgb(128, 128, 128);
inline constexpr platform::Color kBlack = platform::Rgb(0, 0, 0);
inline constexpr platform::Color kArmed = platform::Rgb(0, 153, 0);
inline constexpr platform::Color kReplaceStep = platform::Rgb(255, 0, 0);
} // namespace colour

} // namespace veltrano
